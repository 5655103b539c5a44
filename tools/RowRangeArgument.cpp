#include "tools/RowRangeArgument.h"

#include "app/ModelSchedule.h"

#include <charconv>
#include <string_view>

namespace tavro::tools {
namespace {

bool ParseRow(std::string_view text, std::uint32_t& row) {
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), row);
    return !text.empty() && status == std::errc() && end == text.data() + text.size() &&
           row < kModelScheduleRowCount;
}

} // namespace

bool ParseRowRange(const std::string& text, std::uint32_t& first, std::uint32_t& last) {
    if (text == "all") {
        first = 0;
        last = kModelScheduleRowCount - 1;
        return true;
    }
    const std::string_view view(text);
    const std::size_t dash = view.find('-');
    if (dash == std::string_view::npos) {
        return ParseRow(view, first) && ((last = first), true);
    }
    return ParseRow(view.substr(0, dash), first) && ParseRow(view.substr(dash + 1), last) && first <= last;
}

std::string DescribeBadRowRange(const std::string& text) {
    return "--rows must be all, A or A-B with 0 <= A <= B <= " + std::to_string(kModelScheduleRowCount - 1) +
           ", not '" + text + "'";
}

} // namespace tavro::tools

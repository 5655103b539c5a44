#include "gpu/recording/Recorder.h"

namespace tavro::gpu::recording {

std::vector<std::string_view> Recorder::Names(bool skipRefCounts) const {
    std::vector<std::string_view> names;
    for (const CallRecord& call : calls) {
        if (skipRefCounts && (call.As<AddRefArgs>() != nullptr || call.As<ReleaseArgs>() != nullptr))
            continue;
        names.push_back(call.Name());
    }
    return names;
}

std::string Recorder::Text() const {
    std::string text;
    for (const CallRecord& call : calls)
        text.append(call.ToString()).append("\n");
    return text;
}

void Recorder::FailCall(std::string_view name, std::uint32_t occurrence, HRESULT result) {
    plannedFailures.push_back({std::string(name), occurrence, result});
}

std::string Recorder::LiveObjectsText() const {
    std::string text;
    for (const auto& [id, kind] : live)
        text.append(text.empty() ? "#" : ", #").append(std::to_string(id)).append(" ").append(kind);
    return text;
}

ObjectId Recorder::Register(std::string_view kind) {
    const ObjectId id = nextId++;
    live.emplace(id, std::string(kind));
    return id;
}

HRESULT Recorder::TakePlannedResult(std::string_view name) {
    auto counter = callCounts.find(name);
    if (counter == callCounts.end())
        counter = callCounts.emplace(std::string(name), 0).first;
    const std::uint32_t occurrence = ++counter->second;
    for (const PlannedFailure& planned : plannedFailures) {
        if (planned.name == name && planned.occurrence == occurrence)
            return planned.result;
    }
    return kS_OK;
}

} // namespace tavro::gpu::recording

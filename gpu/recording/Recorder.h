#pragma once
// The recording backend's log and bookkeeping: every call made through a RecordingFactory and the
// objects it made, in order, with their arguments; the objects still alive; and the calls a test has
// asked to fail. A Recorder must outlive every object made through it.
#include "gpu/recording/CallRecord.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::gpu::recording {

class Recorder {
public:
    const std::vector<CallRecord>& Calls() const { return calls; }

    // The arguments of every recorded call of type Args, in order.
    template <typename Args>
    std::vector<const Args*> CallsOf() const {
        std::vector<const Args*> found;
        for (const CallRecord& call : calls) {
            if (const Args* args = call.As<Args>())
                found.push_back(args);
        }
        return found;
    }

    // The names of the recorded calls in order; with skipRefCounts, AddRef and Release are left out.
    std::vector<std::string_view> Names(bool skipRefCounts = false) const;
    // One line per call (CallRecord::ToString).
    std::string Text() const;
    // Forgets the calls recorded so far; objects, their ids and the failure plan are kept.
    void ClearCalls() { calls.clear(); }

    // Makes the `occurrence`-th call named `name` (1 for the first, counting every such call made through
    // this recorder, before or after this request) fail with `result`. Only calls returning an HRESULT
    // fail; an injected failure applies only to a call that is otherwise valid.
    void FailCall(std::string_view name, std::uint32_t occurrence, HRESULT result);

    // The highest feature level a device made here offers; Level11_0 unless set.
    void SetMaxFeatureLevel(FeatureLevel level) { maxFeatureLevel = level; }
    FeatureLevel MaxFeatureLevel() const { return maxFeatureLevel; }

    std::size_t LiveObjectCount() const { return live.size(); }
    bool IsAlive(ObjectId id) const { return live.count(id) != 0; }
    // "#3 Texture2D, #5 ShaderResourceView": what is still alive, for failure messages.
    std::string LiveObjectsText() const;

    // ---- Used by the recording objects ----
    ObjectId Register(std::string_view kind);
    void Unregister(ObjectId id) { live.erase(id); }
    // Counts one call named `name` and returns the failure planned for it, or kS_OK.
    HRESULT TakePlannedResult(std::string_view name);
    void Record(CallRecord record) { calls.push_back(std::move(record)); }

private:
    struct PlannedFailure {
        std::string name;
        std::uint32_t occurrence;
        HRESULT result;
    };

    std::vector<CallRecord> calls;
    std::map<ObjectId, std::string> live;
    std::map<std::string, std::uint32_t, std::less<>> callCounts;
    std::vector<PlannedFailure> plannedFailures;
    ObjectId nextId = 1;
    FeatureLevel maxFeatureLevel = FeatureLevel::Level11_0;
};

} // namespace tavro::gpu::recording

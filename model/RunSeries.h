#pragma once

#include "model/ExecRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The shape of an event's run for its charts, in bounded memory: consecutive executions in at
// most kBuckets buckets. While there is room every execution has a bucket of its own; when every
// bucket is in use, neighbours merge pairwise and each bucket from then on holds twice as many
// executions. A run of any length so keeps its extremes, its failures and its actions.
class RunSeries {
public:
    static constexpr size_t kBuckets = 512;

    struct Bucket {
        int64_t firstMs = 0; // end time (Unix milliseconds) of its first execution
        int64_t lastMs = 0;  // and of its last
        int count = 0;
        int failed = 0;  // executions whose status is not "OK"
        int actions = 0; // executions that ran their action
        uint32_t checkMin = UINT32_MAX;
        uint32_t checkMax = 0;
        uint32_t failedCheckMax = 0; // the longest check of a failed execution
        int numeric = 0;             // executions whose value was a number
        bool fractional = false;     // one of those numbers was not whole
        double valueMin = 0;
        double valueMax = 0;
        // The longest time between two of its executions, and the end time of the execution
        // after it: a bucket of many executions may hold the pause between two runs.
        int64_t gapMs = 0;
        int64_t gapEndMs = 0;

        void Add(const ExecRecord& record, int64_t endMs);
        void Merge(const Bucket& next);
    };

    void Add(const ExecRecord& record);
    const std::vector<Bucket>& Buckets() const { return buckets_; }
    // Executions per bucket once the buckets are full; 1 until then.
    int PerBucket() const { return perBucket_; }
    bool HasNumbers() const;

    // The check's value when it is a number and nothing else (blanks around it allowed).
    static std::optional<double> Number(const std::string& text);

private:
    void Halve();

    std::vector<Bucket> buckets_;
    int perBucket_ = 1;
};

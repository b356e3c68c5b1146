// What a payload parser hands its sink, recorded for comparison.
#pragma once

#include "engine/PayloadMessageParser.h"

#include <string>
#include <vector>

struct RecordedFile {
    PayloadFileHeaders headers;
    std::string data;
    bool ended = false;

    bool operator==(const RecordedFile& other) const {
        return headers.name == other.headers.name && headers.uninstaller == other.headers.uninstaller &&
               headers.selector == other.headers.selector && data == other.data && ended == other.ended;
    }
};

// Records the calls and checks their order: bytes only inside a file, never
// an empty range, every file ended before the next begins.
class RecordingSink final : public PayloadFileSink {
public:
    std::vector<RecordedFile> files;
    std::string fault;

    void BeginFile(const PayloadFileHeaders& headers) override {
        if (!files.empty() && !files.back().ended) Fault("a file begins before the previous one ended");
        files.push_back({headers, std::string(), false});
    }
    void WriteBytes(const unsigned char* bytes, std::size_t count) override {
        if (count == 0) Fault("empty write");
        if (files.empty() || files.back().ended)
            Fault("bytes outside a file");
        else
            files.back().data.append(reinterpret_cast<const char*>(bytes), count);
    }
    void EndFile() override {
        if (files.empty() || files.back().ended)
            Fault("a file ends that never began");
        else
            files.back().ended = true;
    }

private:
    void Fault(const char* what) {
        if (fault.empty()) fault = what;
    }
};

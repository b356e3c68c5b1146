// Reads and writes an open file with optional positioning. Never throws: a
// failing call is recorded, and a failed object stays failed, doing nothing,
// until it is thrown away.
#pragma once

#include "foundation/CallResult.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"
#include "foundation/datavect.h"

#include <cstdint>
#include <utility>
#include <vector>

class FileIo : public WinCallResult {
public:
    explicit FileIo(SharedHandle file) : m_file(std::move(file)) {}

    // `method` is FILE_BEGIN, FILE_CURRENT or FILE_END.
    void Seek(std::int64_t offset, DWORD method);

    // Reading and writing first move to (offset, method) unless that names
    // the current position (0, FILE_CURRENT). Without `advance` the file
    // position is put back to where the transfer started.

    // `size`: bytes wanted on entry, bytes read on return.
    void Read(void* buffer, DWORD& size, std::int64_t offset = 0, DWORD method = FILE_CURRENT, bool advance = true);
    // Reads as many bytes as `bytes` holds, then shrinks it to those read.
    void Read(std::vector<unsigned char>& bytes, std::int64_t offset = 0, DWORD method = FILE_CURRENT,
              bool advance = true);
    void Read(datavect<unsigned char>& bytes, std::int64_t offset = 0, DWORD method = FILE_CURRENT,
              bool advance = true);

    // Writing fewer bytes than asked is a failure with code 112 (disk full).
    void Write(const void* buffer, DWORD size, std::int64_t offset = 0, DWORD method = FILE_CURRENT,
               bool advance = true);

    HANDLE Handle() const { return m_file.Get(); }

private:
    bool MoveTo(std::int64_t offset, DWORD method);

    SharedHandle m_file;
};

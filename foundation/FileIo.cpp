#include "foundation/FileIo.h"

#include <algorithm>
#include <limits>

void FileIo::Seek(std::int64_t offset, DWORD method) {
    if (Failed()) return;
    LONG high = static_cast<LONG>(offset >> 32);
    // 0xFFFFFFFF is also a valid low half; only a last error tells a failure.
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(m_file.Get(), static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
    Record(L"SetFilePointer()", low == INVALID_SET_FILE_POINTER ? GetLastError() : NO_ERROR);
}

bool FileIo::MoveTo(std::int64_t offset, DWORD method) {
    if (offset != 0 || method != FILE_CURRENT) Seek(offset, method);
    return Succeeded();
}

void FileIo::Read(void* buffer, DWORD& size, std::int64_t offset, DWORD method, bool advance) {
    DWORD wanted = size;
    size = 0;
    if (Failed() || !MoveTo(offset, method)) return;
    BOOL read = ReadFile(m_file.Get(), buffer, wanted, &size, nullptr);
    Record(L"ReadFile()", read ? NO_ERROR : GetLastError());
    if (!advance) Seek(-static_cast<std::int64_t>(size), FILE_CURRENT);
}

void FileIo::Read(std::vector<unsigned char>& bytes, std::int64_t offset, DWORD method, bool advance) {
    DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
    Read(bytes.data(), size, offset, method, advance);
    bytes.resize(size);
}

void FileIo::Read(datavect<unsigned char>& bytes, std::int64_t offset, DWORD method, bool advance) {
    DWORD size = bytes.size();
    Read(bytes.data(), size, offset, method, advance);
    bytes.resize(size);
}

void FileIo::Write(const void* buffer, DWORD size, std::int64_t offset, DWORD method, bool advance) {
    if (Failed() || !MoveTo(offset, method)) return;
    DWORD written = 0;
    BOOL wrote = WriteFile(m_file.Get(), buffer, size, &written, nullptr);
    if (!wrote)
        Record(L"WriteFile()", GetLastError());
    else
        Record(L"WriteFile()", written < size ? ERROR_DISK_FULL : NO_ERROR);
    if (!advance) Seek(-static_cast<std::int64_t>(written), FILE_CURRENT);
}

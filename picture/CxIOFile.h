#pragma once

#include "picture/CxFile.h"

#include <cstdio>

class CxIOFile : public CxFile {
public:
    // The writers get a stream they do not own; an owned one is closed with the object.
    explicit CxIOFile(FILE* stream = nullptr, bool ownsStream = false);
    ~CxIOFile() override;
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(unsigned char c) override;
    long GetC() override;

private:
    FILE* m_fp;
    bool m_bCloseFile;
};

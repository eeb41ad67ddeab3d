#pragma once

#include "picture/CxFile.h"

#include <cstdint>

// A file in a growable block of memory, for pictures that go somewhere other than a file.
class CxMemFile : public CxFile {
public:
    // A given buffer is read and written in place but never freed; it is copied once it must grow.
    explicit CxMemFile(uint8_t* buffer = nullptr, long size = 0);
    ~CxMemFile() override;
    CxMemFile(const CxMemFile&) = delete;
    CxMemFile& operator=(const CxMemFile&) = delete;

    // Starts an empty file of its own; false when it already has a buffer or memory is short.
    bool Open();
    const uint8_t* GetBuffer() const { return m_pBuffer; }

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
    bool Alloc(long size);

    uint8_t* m_pBuffer;
    long m_Size;
    bool m_bFreeOnClose;
    long m_Position;
    long m_Edge;
};

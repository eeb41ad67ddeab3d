#include "picture/CxMemFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CxMemFile::CxMemFile(uint8_t* buffer, long size)
    : m_pBuffer(buffer)
    , m_Size(buffer ? size : 0)
    , m_bFreeOnClose(false)
    , m_Position(0)
    , m_Edge(buffer ? size : 0)
{
}

CxMemFile::~CxMemFile()
{
    Close();
}

bool CxMemFile::Open()
{
    if (m_pBuffer) return false;
    m_Size = m_Position = m_Edge = 0;
    return Alloc(1);
}

bool CxMemFile::Close()
{
    if (m_pBuffer && m_bFreeOnClose) {
        free(m_pBuffer);
        m_pBuffer = nullptr;
        m_Size = m_Position = m_Edge = 0;
        m_bFreeOnClose = false;
    }
    return true;
}

bool CxMemFile::Alloc(long size)
{
    if (size <= m_Edge) return true;
    if (size > LONG_MAX - 4096) return false;
    long capacity = size - (size % 4096) + 4096;
    uint8_t* grown;
    if (m_bFreeOnClose) {
        grown = static_cast<uint8_t*>(realloc(m_pBuffer, size_t(capacity)));
    } else {
        grown = static_cast<uint8_t*>(malloc(size_t(capacity)));
        if (grown && m_pBuffer && m_Size > 0) memcpy(grown, m_pBuffer, size_t(m_Size));
    }
    if (!grown) return false;
    m_pBuffer = grown;
    m_Edge = capacity;
    m_bFreeOnClose = true;
    return true;
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count)
{
    if (!m_pBuffer || !buffer || m_Position >= m_Size || size == 0 || count == 0) return 0;
    size_t wanted = size * count;
    if (wanted / size != count) return 0;
    size_t left = size_t(m_Size - m_Position);
    size_t n = wanted < left ? wanted : left;
    memcpy(buffer, m_pBuffer + m_Position, n);
    m_Position += long(n);
    return n / size;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count)
{
    if (!m_pBuffer || !buffer || size == 0 || count == 0) return 0;
    size_t n = size * count;
    if (n / size != count || n > size_t(LONG_MAX - m_Position)) return 0;
    long end = m_Position + long(n);
    if (!Alloc(end)) return 0;
    if (m_Position > m_Size) memset(m_pBuffer + m_Size, 0, size_t(m_Position - m_Size));
    memcpy(m_pBuffer + m_Position, buffer, n);
    m_Position = end;
    if (m_Position > m_Size) m_Size = m_Position;
    return count;
}

bool CxMemFile::Seek(long offset, int origin)
{
    if (!m_pBuffer) return false;
    long base;
    switch (origin) {
    case SEEK_SET:
        base = 0;
        break;
    case SEEK_CUR:
        base = m_Position;
        break;
    case SEEK_END:
        base = m_Size;
        break;
    default:
        return false;
    }
    if (offset > 0 && base > LONG_MAX - offset) return false;
    long position = base + offset;
    m_Position = position < 0 ? 0 : position;
    return true;
}

long CxMemFile::Tell()
{
    return m_pBuffer ? m_Position : -1;
}

long CxMemFile::Size()
{
    return m_pBuffer ? m_Size : -1;
}

bool CxMemFile::Flush()
{
    return m_pBuffer != nullptr;
}

bool CxMemFile::Eof()
{
    return !m_pBuffer || m_Position >= m_Size;
}

long CxMemFile::Error()
{
    return m_pBuffer ? (m_Position > m_Size ? 1 : 0) : -1;
}

bool CxMemFile::PutC(unsigned char c)
{
    return Write(&c, 1, 1) == 1;
}

long CxMemFile::GetC()
{
    if (Eof()) return -1;
    return m_pBuffer[m_Position++];
}

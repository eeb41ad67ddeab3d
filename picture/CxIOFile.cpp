#include "picture/CxIOFile.h"

CxIOFile::CxIOFile(FILE* stream, bool ownsStream)
    : m_fp(stream)
    , m_bCloseFile(ownsStream)
{
}

CxIOFile::~CxIOFile()
{
    Close();
}

bool CxIOFile::Close()
{
    if (!m_fp || !m_bCloseFile) return true;
    int result = fclose(m_fp);
    m_fp = nullptr;
    return result == 0;
}

size_t CxIOFile::Read(void* buffer, size_t size, size_t count)
{
    return m_fp ? fread(buffer, size, count, m_fp) : 0;
}

size_t CxIOFile::Write(const void* buffer, size_t size, size_t count)
{
    return m_fp ? fwrite(buffer, size, count, m_fp) : 0;
}

bool CxIOFile::Seek(long offset, int origin)
{
    return m_fp && fseek(m_fp, offset, origin) == 0;
}

long CxIOFile::Tell()
{
    return m_fp ? ftell(m_fp) : 0;
}

long CxIOFile::Size()
{
    if (!m_fp) return -1;
    long position = ftell(m_fp);
    fseek(m_fp, 0, SEEK_END);
    long size = ftell(m_fp);
    fseek(m_fp, position, SEEK_SET);
    return size;
}

bool CxIOFile::Flush()
{
    return m_fp && fflush(m_fp) == 0;
}

bool CxIOFile::Eof()
{
    return !m_fp || feof(m_fp) != 0;
}

long CxIOFile::Error()
{
    return m_fp ? ferror(m_fp) : -1;
}

bool CxIOFile::PutC(unsigned char c)
{
    return m_fp && fputc(c, m_fp) == c;
}

long CxIOFile::GetC()
{
    return m_fp ? getc(m_fp) : -1;
}

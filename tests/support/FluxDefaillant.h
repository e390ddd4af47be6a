#pragma once

// A stream whose device fails after some text, as a file buffer does on a
// read error (a folder, a failing disk): its underflow throws, outside any
// sentry of the stream. And one whose device never ends.

#include <cstddef>
#include <ios>
#include <streambuf>
#include <string>

namespace kiv_test {

class TamponDefaillant : public std::streambuf {
public:
    /** Gives `texte`, then throws at the next read. */
    explicit TamponDefaillant(std::string texte)
        : m_texte(std::move(texte))
    {
        setg(m_texte.data(), m_texte.data(), m_texte.data() + m_texte.size());
    }

protected:
    int_type underflow() override
    {
        throw std::ios_base::failure("basic_filebuf::underflow error reading the file");
    }

private:
    std::string m_texte;
};

/** A device that never ends and never ends a line (/dev/zero): counts the bytes taken from it. */
class TamponZeros : public std::streambuf {
public:
    std::size_t lus = 0;

protected:
    int_type underflow() override { return traits_type::to_int_type('\0'); }
    int_type uflow() override
    {
        ++lus;
        return traits_type::to_int_type('\0');
    }
};

} // namespace kiv_test

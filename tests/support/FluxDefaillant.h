#pragma once

// A stream whose device fails after some text, as a file buffer does on a
// read error (a folder, a failing disk): its underflow throws, outside any
// sentry of the stream.

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

} // namespace kiv_test

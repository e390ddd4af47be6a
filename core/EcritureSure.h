#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

/**
 * Replacing a file so that it holds either its previous bytes or all of the
 * new ones, and so that nobody's planted link makes the program write
 * elsewhere:
 *  - the bytes go to a temporary file beside the target, under a name
 *    nobody can guess, created exclusively and never through a symbolic
 *    link (O_CREAT | O_EXCL | O_NOFOLLOW); while it is written it is
 *    private (0600) when it replaces a file;
 *  - once written they are synced to the disk, the file takes the mode
 *    (and, where allowed, the owner) of the file it replaces, or that of a
 *    new file (0666 less the umask), is renamed over the target, and the
 *    folder is synced so that the rename survives a power loss;
 *  - any failure removes the temporary file, leaves the previous file as it
 *    was and keeps the system's reason.
 *
 * A target that is a symbolic link made by the program's user is written
 * to the file the link points to, which keeps its mode; a link of anyone
 * else is replaced, never followed. A target that exists and is not a
 * regular file (a folder, a device, a pipe) is refused.
 */
class EcritureSure {
public:
    /** Creates the temporary file for `chemin`; see ouverte() and raison(). */
    explicit EcritureSure(const std::string& chemin);
    /** Drops the temporary file unless valider() put it in place. */
    ~EcritureSure();
    EcritureSure(const EcritureSure&) = delete;
    EcritureSure& operator=(const EcritureSure&) = delete;

    /** The temporary file exists and nothing has failed so far. */
    bool ouverte() const { return m_fd >= 0; }

    /** Appends `n` bytes; false (nothing more is written) on failure. */
    bool ecrire(const void* octets, std::size_t n);

    /** Syncs and renames over the target; false on failure, the previous file untouched. */
    bool valider();

    /** Drops the temporary file: the target stays as it was. */
    void abandonner();

    /** The file that is replaced: the target, or the file its link leads to. */
    const std::string& cible() const { return m_cible; }
    /** Why the write failed, in the system's words; empty while all is well. */
    const std::string& raison() const { return m_raison; }
    /** The system's error number of the failure (0 when none). */
    int codeErreur() const { return m_code; }

private:
    bool echec(int code);
    bool echec(int code, std::string raison);

    std::string m_cible;
    std::string m_temporaire;
    int m_fd = -1;
    bool m_existe = false;
    unsigned m_mode = 0;
    unsigned m_proprietaire = 0;
    unsigned m_groupe = 0;
    std::string m_raison;
    int m_code = 0;
};

/**
 * Writes `octets` as the whole content of `chemin` with EcritureSure. On
 * failure returns false and, when `raison` is given, puts the reason there.
 */
bool ecrireFichierSur(const std::string& chemin, std::string_view octets,
                      std::string* raison = nullptr);

/** A buffered stream buffer over an EcritureSure. */
class TamponSur : public std::streambuf {
public:
    explicit TamponSur(EcritureSure& ecriture);
    /** Writes out what the buffer holds; false on failure. */
    bool vider();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    EcritureSure& m_ecriture;
    std::array<char, 16384> m_tampon{};
};

/**
 * An output stream whose bytes replace the file `chemin` safely when
 * valider() succeeds; without it (an error thrown half-way, a failed
 * write) the previous file stays as it was.
 */
class FluxSur : public std::ostream {
public:
    explicit FluxSur(const std::string& chemin);
    ~FluxSur() override;

    /** Flushes and puts the file in place; false (raison() says why) on failure. */
    bool valider();
    /** Why the write failed; empty while all is well. */
    const std::string& raison() const { return m_ecriture.raison(); }
    const std::string& cible() const { return m_ecriture.cible(); }

private:
    EcritureSure m_ecriture;
    TamponSur m_tampon;
};

namespace ecriture_sure {

/**
 * The source of the temporary names' randomness: the system's when null
 * (the default). Tests install a predictable one to plant links at the
 * names a writer will try.
 */
void definirAlea(std::uint64_t (*alea)());

/** The temporary file's path for target `cible` and the random value `alea`. */
std::string nomTemporaire(const std::string& cible, std::uint64_t alea);

} // namespace ecriture_sure

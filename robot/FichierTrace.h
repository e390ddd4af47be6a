#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace robotsim {

/**
 * The virtual robot's CSV trace, written as the run goes: each line reaches
 * the file when it ends (std::endl, or a flush), so that the trace can be
 * followed while the robot runs and a robot killed leaves every line it
 * wrote. The file is made anew, exclusively and never through a symbolic
 * link (O_CREAT | O_EXCL | O_NOFOLLOW, mode 0644 less the umask): a regular
 * file or a symbolic link of that name is removed first (the link itself,
 * never what it leads to); a folder, a device, a pipe or a socket in its
 * place is refused.
 */
class FichierTrace {
public:
    /** Makes the file; null with the reason in `erreur` (French) when it cannot. */
    static std::unique_ptr<FichierTrace> creer(const std::string& chemin, std::string& erreur);
    ~FichierTrace();
    FichierTrace(const FichierTrace&) = delete;
    FichierTrace& operator=(const FichierTrace&) = delete;

    /** Where the lines go. */
    std::ostream& flux() { return m_flux; }
    /** True while every write has succeeded. */
    bool bon() const { return m_raison.empty(); }
    /** Why a write failed, in the system's words; empty while all is well. */
    const std::string& raison() const { return m_raison; }

private:
    /** The stream's buffer: a line's bytes, written to the file at each flush. */
    class Tampon : public std::streambuf {
    public:
        explicit Tampon(FichierTrace& fichier);

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        FichierTrace& m_fichier;
        char m_octets[512];
    };

    explicit FichierTrace(int fd);
    bool ecrire(const char* octets, std::size_t n);

    int m_fd;
    std::string m_raison;
    Tampon m_tampon;
    std::ostream m_flux;
};

} // namespace robotsim

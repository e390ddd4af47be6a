#pragma once

// A program of the project run as the user runs it: a separate process in a
// folder, its own session, stdin from /dev/null; its exit status and what it
// wrote on its two streams.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kiv_test {

/** How a program ended. */
struct FinProgramme {
    int statut = -1; ///< exit status, or -1 when a signal ended it
    int signal = 0;
    std::string sortie;
    std::string erreur;
};

/**
 * Runs `programme` with `arguments` in `dossier` and waits for its end. A
 * program still running after `limite` (a hang, the fault some tests look
 * for) is killed and reported as a failure of the test.
 */
inline FinProgramme executerProgramme(const std::string& programme,
                                      const std::vector<std::string>& arguments,
                                      const std::filesystem::path& dossier,
                                      std::chrono::seconds limite = std::chrono::seconds(120))
{
    const std::filesystem::path cheminSortie = dossier / ".stdout";
    const std::filesystem::path cheminErreur = dossier / ".stderr";
    std::vector<std::string> texte{programme};
    texte.insert(texte.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : texte) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const std::string dir = dossier.string();
    const std::string out = cheminSortie.string();
    const std::string err = cheminErreur.string();

    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls until exec.
        ::setsid();
        const int in = ::open("/dev/null", O_RDONLY);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 ||
            ::chdir(dir.c_str()) != 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    FinProgramme fin;
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return fin;
    }
    int statut = 0;
    const auto echeance = std::chrono::steady_clock::now() + limite;
    pid_t fini = 0;
    while ((fini = ::waitpid(pid, &statut, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < echeance) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (fini == 0) {
        ADD_FAILURE() << programme << " still running after " << limite.count() << " s";
        ::kill(pid, SIGKILL);
        fini = ::waitpid(pid, &statut, 0);
    }
    if (fini == pid) {
        if (WIFEXITED(statut)) {
            fin.statut = WEXITSTATUS(statut);
        } else if (WIFSIGNALED(statut)) {
            fin.signal = WTERMSIG(statut);
        }
    }
    const auto lire = [](const std::filesystem::path& chemin) {
        std::ifstream f(chemin, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    };
    fin.sortie = lire(cheminSortie);
    fin.erreur = lire(cheminErreur);
    std::error_code ignore;
    std::filesystem::remove(cheminSortie, ignore);
    std::filesystem::remove(cheminErreur, ignore);
    return fin;
}

} // namespace kiv_test

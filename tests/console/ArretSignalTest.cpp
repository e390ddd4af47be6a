// The program ended by a signal, as a service manager or a closing terminal
// would: the port is given back (no exclusive mode, no lock file) and the
// session log says the link closed.
#include "link/recorder/LecteurJournal.h"
#include "support/PseudoTerminal.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kiv_test::RepertoireTemporaire;

/** The lock files QSerialPort may have taken for `device`. */
std::vector<fs::path> verrous(const std::string& device)
{
    // "/dev/pts/3" locks as "LCK..pts_3".
    std::string nom = "LCK.." + device.substr(device.rfind("/dev/", 0) == 0 ? 5 : 0);
    std::replace(nom.begin(), nom.end(), '/', '_');
    std::vector<fs::path> trouves;
    for (const char* dossier : {"/var/lock", "/run/lock", "/tmp", "/var/tmp"}) {
        std::error_code e;
        if (fs::exists(fs::path(dossier) / nom, e)) {
            trouves.push_back(fs::path(dossier) / nom);
        }
    }
    return trouves;
}

/** The link events of the one session log under `dossier`. */
std::vector<std::string> evenementsDuJournal(const fs::path& dossier)
{
    std::vector<std::string> textes;
    for (const auto& f : fs::recursive_directory_iterator(dossier)) {
        if (f.path().extension() != ".kivlog") {
            continue;
        }
        std::ifstream flux(f.path(), std::ios::binary);
        journal::LecteurJournal lecteur(flux);
        EXPECT_TRUE(lecteur.lireEntete());
        journal::Enregistrement e;
        while (lecteur.suivant(e) == journal::Lecture::Enregistrement) {
            if (e.genre == journal::Genre::Lien) {
                textes.emplace_back(e.texte());
            }
        }
    }
    return textes;
}

class ArretSignal : public ::testing::TestWithParam<int> {};

TEST_P(ArretSignal, ClosesThePortAndTheLogAsQuitterDoes)
{
    RepertoireTemporaire dossier;
    const fs::path racine = dossier.chemin();
    fs::permissions(racine, fs::perms::owner_all); // a runtime folder of its own
    {
        std::ofstream scom(racine / "scom.ini", std::ios::binary);
        scom << ";scom.ini\r\n;\r\n\r\n[OPTIONS]\r\nLast Port = 1\r\n\r\n[Port#1]\r\nBaud Rate = "
                "9600\r\n";
    }
    Pty pty;
    const std::string programme = KIV_PATH;
    const std::string poids = KIV_DATA_DIR "/beacons.wgh";
    std::vector<std::string> arguments{programme, "--weights", poids};
    std::vector<std::string> environnement{
        "QT_QPA_PLATFORM=offscreen", "KIV_COM1=" + pty.nom(),
        "XDG_DATA_HOME=" + (racine / "donnees").string(),
        "XDG_CONFIG_HOME=" + (racine / "reglages").string(),
        "XDG_RUNTIME_DIR=" + racine.string(), "HOME=" + racine.string()};
    // A sanitizer run's options reach the program too.
    for (const char* nom : {"TSAN_OPTIONS", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (const char* valeur = std::getenv(nom)) {
            environnement.push_back(std::string(nom) + "=" + valeur);
        }
    }
    std::vector<char*> argv;
    for (std::string& a : arguments) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environnement) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    // The console runs in the folder of its scom.ini.
    const fs::path ici = fs::current_path();
    fs::current_path(racine);
    pid_t pid = -1;
    const int lance = posix_spawn(&pid, programme.c_str(), nullptr, nullptr, argv.data(),
                                  envp.data());
    fs::current_path(ici);
    ASSERT_EQ(lance, 0);
    int statut = 0;
    const auto fini = [&] { return ::waitpid(pid, &statut, WNOHANG) == pid; };

    // A frame answered: the port is open and the console at work.
    const std::string trame("\x01\x02\x03\x04\x05\x06\x07\x08\x00\x64", 10);
    const bool repondu = attendre(
        [&] {
            if (pty.recu.empty()) {
                pty.envoyer(trame);
            }
            return !pty.recu.empty() || fini();
        },
        60000);
    if (!repondu || pty.recu.empty()) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "the console never answered a frame";
    }
    EXPECT_FALSE(verrous(pty.nom()).empty()) << "the console holds the port's lock";

    ::kill(pid, GetParam());
    if (!attendre(fini, 60000)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        FAIL() << "the console did not end on the signal";
    }
    ASSERT_TRUE(WIFEXITED(statut)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(statut), 0);

    // The device is free again: not exclusive, no lock file.
    const int fd = ::open(pty.nom().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    int exclusif = -1;
    ASSERT_EQ(::ioctl(fd, TIOCGEXCL, &exclusif), 0);
    EXPECT_EQ(exclusif, 0);
    ::close(fd);
    EXPECT_TRUE(verrous(pty.nom()).empty());

    const auto evenements = evenementsDuJournal(racine / "donnees");
    ASSERT_FALSE(evenements.empty());
    EXPECT_EQ(evenements.front().rfind("ouvert COM1 9600", 0), 0u) << evenements.front();
    EXPECT_EQ(evenements.back(), "fermé");
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, ArretSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace

// kiv-train run as the user runs it: a separate process, its exit status,
// its output streams and the files it leaves.
#include "trainer/ReseauNeurones.h"
#include "trainer/ReseauOutils.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string lire(const fs::path& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void ecrire(const fs::path& chemin, const std::string& texte)
{
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f << texte;
}

std::string parametres(int iterMax, int sorties = 2, double gain = 0.5)
{
    return "Gain=" + std::to_string(gain) +
           "\nMomentum=0.1\nEpsilon=0.1\nTolerance=0.5\nErreurMax=0.0\n"
           "IterMax=" +
           std::to_string(iterMax) + "\nNeuroneEntree=3\nNeuroneSortie=" + std::to_string(sorties) +
           "\nCoucheCache=3\nNeuroneCoucheCache=4\nMinOutput=0\nMaxOutput=5\n"
           "DonnéesTest1=0.1543354\nDonnéesTest2=0.155356\nDonnéesTest3=0.144413\n";
}

const std::string kDonnees = "(6)\n"
                             "(3,1) 0.10 0.20 0.15 (2,1) 1.0 4.0\n"
                             "(3,1) 0.15 0.10 0.12 (2,1) 1.5 3.5\n"
                             "(3,1) 0.20 0.25 0.30 (2,1) 2.0 3.0\n"
                             "(3,1) 0.30 0.15 0.20 (2,1) 3.0 2.0\n"
                             "(3,1) 0.35 0.30 0.25 (2,1) 3.5 1.5\n"
                             "(3,1) 0.40 0.35 0.40 (2,1) 4.0 1.0\n";

const std::string kDonneesUneSortie = "(4)\n"
                                      "(3,1) 0.10 0.20 0.15 (1,1) 1.0\n"
                                      "(3,1) 0.20 0.25 0.30 (1,1) 2.0\n"
                                      "(3,1) 0.30 0.15 0.20 (1,1) 3.0\n"
                                      "(3,1) 0.40 0.35 0.40 (1,1) 4.0\n";

struct Resultat {
    int statut = -1; ///< exit status, or -1 when a signal ended the process
    int signal = 0;
    std::string sortie;
    std::string erreur;
};

/**
 * kiv-train in `repertoire`, its own session (no controlling terminal, so
 * no question can reach the user's terminal), stdin from /dev/null.
 */
class Processus {
public:
    /** With `terminal` (a pty's name), that pty is its controlling terminal. */
    Processus(const fs::path& repertoire, const std::vector<std::string>& arguments,
              const std::string& terminal = "")
        : m_sortie(repertoire / ".stdout")
        , m_erreur(repertoire / ".stderr")
    {
        std::vector<std::string> texte{KIV_TRAIN_PATH};
        texte.insert(texte.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : texte) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const std::string dir = repertoire.string();
        const std::string out = m_sortie.string();
        const std::string err = m_erreur.string();

        m_pid = ::fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls until exec.
            ::setsid();
            if (!terminal.empty() && ::open(terminal.c_str(), O_RDWR) < 0) {
                ::_exit(127);
            }
            const int in = ::open("/dev/null", O_RDONLY);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (in < 0 || o < 0 || e < 0 || ::dup2(in, 0) < 0 || ::dup2(o, 1) < 0 ||
                ::dup2(e, 2) < 0 || ::chdir(dir.c_str()) != 0) {
                ::_exit(127);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }

    ~Processus()
    {
        if (m_pid > 0 && !m_fini) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    bool lance() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    std::string erreurJusquIci() const { return lire(m_erreur); }

    /** Waits (at most `limite`) until the error stream holds `texte`. */
    bool attendre(const std::string& texte, std::chrono::seconds limite) const
    {
        const auto fin = std::chrono::steady_clock::now() + limite;
        while (std::chrono::steady_clock::now() < fin) {
            if (erreurJusquIci().find(texte) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    /** Waits for the end; a process still running after `limite` is killed and reported so. */
    Resultat terminer(std::chrono::seconds limite = std::chrono::seconds(120))
    {
        Resultat r;
        int statut = 0;
        const auto fin = std::chrono::steady_clock::now() + limite;
        pid_t fini = 0;
        while ((fini = ::waitpid(m_pid, &statut, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < fin) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (fini == 0) {
            ADD_FAILURE() << "kiv-train still running after " << limite.count() << " s";
            ::kill(m_pid, SIGKILL);
            fini = ::waitpid(m_pid, &statut, 0);
        }
        if (fini == m_pid) {
            m_fini = true;
            if (WIFEXITED(statut)) {
                r.statut = WEXITSTATUS(statut);
            } else if (WIFSIGNALED(statut)) {
                r.signal = WTERMSIG(statut);
            }
        }
        r.sortie = lire(m_sortie);
        r.erreur = lire(m_erreur);
        return r;
    }

private:
    fs::path m_sortie;
    fs::path m_erreur;
    pid_t m_pid = -1;
    bool m_fini = false;
};

class KivTrain : public ::testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::path(testing::TempDir()) /
                ("kiv_train_" + std::to_string(::getpid()) + "_" + test->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        ecrire(m_dir / "p.prm", parametres(200));
        ecrire(m_dir / "d.dat", kDonnees);
    }
    void TearDown() override
    {
        std::error_code ignore;
        fs::remove_all(m_dir, ignore);
    }

    Resultat kivTrain(const std::vector<std::string>& arguments)
    {
        Processus p(m_dir, arguments);
        EXPECT_TRUE(p.lance());
        return p.terminer();
    }

    fs::path m_dir;
};

TEST_F(KivTrain, SameSeedSameWeights)
{
    const Resultat a =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"});
    ASSERT_EQ(a.statut, 0) << a.erreur;
    const Resultat b =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "b.wgh", "--seed", "7"});
    ASSERT_EQ(b.statut, 0) << b.erreur;
    const Resultat c =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "c.wgh", "--seed", "8"});
    ASSERT_EQ(c.statut, 0) << c.erreur;

    const std::string poids = lire(m_dir / "a.wgh");
    EXPECT_FALSE(poids.empty());
    EXPECT_EQ(poids, lire(m_dir / "b.wgh"));
    EXPECT_NE(poids, lire(m_dir / "c.wgh"));
    EXPECT_EQ(a.sortie, "");
    // Nothing but the weights and the default dump is left behind.
    std::vector<std::string> fichiers;
    for (const auto& f : fs::directory_iterator(m_dir)) {
        fichiers.push_back(f.path().filename().string());
    }
    std::sort(fichiers.begin(), fichiers.end());
    EXPECT_EQ(fichiers, (std::vector<std::string>{".stderr", ".stdout", "a.wgh", "b.wgh", "c.wgh",
                                                  "d.dat", "p.prm", "test.ext"}));
}

TEST_F(KivTrain, ProgressIsWrittenAsPlainLinesWhenNotOnATerminal)
{
    const Resultat r =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    // IterMax 200: a text every 2 passes, the bar moving 1% each time.
    EXPECT_NE(r.erreur.find("Apprentissage du réseau (Ctrl+C pour annuler)\n"
                            "[                    ]   0% Erreur quadratique:\n"
                            "[                    ]   1% Erreur quadratique: Passe #0 : "),
              std::string::npos)
        << r.erreur;
    EXPECT_NE(r.erreur.find("\n[====================] 100% Erreur quadratique: Passe #198 : "),
              std::string::npos);
    EXPECT_EQ(r.erreur.find('\r'), std::string::npos);
    EXPECT_TRUE(std::regex_search(r.erreur, std::regex("\nErreur quadratique:\nPasse #200 : "
                                                       "[0-9]+\\.[0-9]{4}\nTaux de classement: "
                                                       "[01]\\.[0-9]{4}\nPoids écrits dans "
                                                       "a\\.wgh\n$")))
        << r.erreur;
}

TEST_F(KivTrain, DumpGoesWhereAsked)
{
    fs::create_directories(m_dir / "sous");
    const Resultat r = kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--dump",
                                 "sous/echelles.txt", "--seed", "3"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    EXPECT_FALSE(lire(m_dir / "sous" / "echelles.txt").empty());
    EXPECT_FALSE(fs::exists(m_dir / "test.ext"));
}

TEST_F(KivTrain, EvalPrintsTheTrainerTestLine)
{
    ASSERT_EQ(
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"}).statut,
        0);
    const Resultat r =
        kivTrain({"--weights", "a.wgh", "--eval", "0.1543354", "0.155356", "0.144413"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    EXPECT_TRUE(std::regex_match(
        r.sortie,
        std::regex("Valeur de sortie: 1-> -?[0-9]+\\.[0-9]{3}, 2-> -?[0-9]+\\.[0-9]{3}\n")))
        << r.sortie;

    // The same figures as the trainer model computes from that file.
    ReseauNeurones reseau;
    reseau.LirePoids((m_dir / "a.wgh").string());
    Vecteur sorties;
    ASSERT_TRUE(reseau.Evaluer(0.1543354, 0.155356, 0.144413, sorties));
    ASSERT_EQ(sorties.taille(), 2);
    char attendu[128];
    std::snprintf(attendu, sizeof attendu, "Valeur de sortie: 1-> %.3f, 2-> %.3f\n", sorties[0],
                  sorties[1]);
    EXPECT_EQ(r.sortie, attendu);
    // The network learnt something: the first example's outputs are near 1 and 4.
    EXPECT_TRUE(reseau.Evaluer(0.10, 0.20, 0.15, sorties));
    EXPECT_NEAR(sorties[0], 1.0, 0.5);
    EXPECT_NEAR(sorties[1], 4.0, 0.5);

    // Negative inputs are numbers, not options.
    const Resultat n = kivTrain({"--weights", "a.wgh", "--eval", "-0.5", "-1e-1", "2"});
    EXPECT_EQ(n.statut, 0) << n.erreur;
    EXPECT_EQ(n.sortie.rfind("Valeur de sortie: 1-> ", 0), 0u);
}

TEST_F(KivTrain, EvalOfANetworkWithOneOutput)
{
    ecrire(m_dir / "p1.prm", parametres(50, 1));
    ecrire(m_dir / "d1.dat", kDonneesUneSortie);
    ASSERT_EQ(kivTrain({"--params", "p1.prm", "--data", "d1.dat", "--out", "u.wgh", "--eval", "0.2",
                        "0.25", "0.3", "--seed", "5"})
                  .statut,
              0);
    const Resultat r = kivTrain({"--weights", "u.wgh", "--eval", "0.2", "0.25", "0.3"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    EXPECT_TRUE(
        std::regex_match(r.sortie, std::regex("Valeur de sortie: 1-> -?[0-9]+\\.[0-9]{3}\n")))
        << r.sortie;
}

TEST_F(KivTrain, TrainingThenEvalInOneRun)
{
    const Resultat r = kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed",
                                 "7", "--eval", "0.1543354", "0.155356", "0.144413"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    const Resultat e =
        kivTrain({"--weights", "a.wgh", "--eval", "0.1543354", "0.155356", "0.144413"});
    EXPECT_EQ(r.sortie, e.sortie);
}

TEST_F(KivTrain, TrainingGoesOnFromLoadedWeights)
{
    ASSERT_EQ(
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"}).statut,
        0);
    const Resultat r = kivTrain({"--weights", "a.wgh", "--params", "p.prm", "--data", "d.dat",
                                 "--out", "b.wgh", "--seed", "7"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    const std::string avant = lire(m_dir / "a.wgh");
    const std::string apres = lire(m_dir / "b.wgh");
    EXPECT_NE(avant, apres);

    // Continued, the first pass starts from the learnt error, well below that
    // of a fresh network.
    const std::smatch m = [&] {
        std::smatch resultat;
        std::regex_search(r.erreur, resultat, std::regex("Passe #0 : ([0-9.]+)"));
        return resultat;
    }();
    ASSERT_EQ(m.size(), 2u) << r.erreur;
    const Resultat neuf =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "n.wgh", "--seed", "7"});
    std::smatch n;
    ASSERT_TRUE(std::regex_search(neuf.erreur, n, std::regex("Passe #0 : ([0-9.]+)")));
    EXPECT_LT(std::stod(m[1].str()), std::stod(n[1].str()));

    // Without --params the loaded network's shape is kept (a refinement).
    const Resultat s = kivTrain({"--weights", "b.wgh", "--data", "d.dat", "--out", "b.wgh",
                                 "--iterations", "20", "--seed", "2"});
    EXPECT_EQ(s.statut, 0) << s.erreur;
}

TEST_F(KivTrain, RefiningWithoutParametersKeepsTheLayersAndTheScalingOfTheWeights)
{
    ASSERT_EQ(
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"}).statut,
        0);
    // Two points in the middle of the first set's range, slightly off what it taught.
    ecrire(m_dir / "e.dat", "(2)\n(3,1) 0.15 0.20 0.2 (2,1) 1.6 3.3\n"
                            "(3,1) 0.30 0.25 0.25 (2,1) 3.2 1.9\n");
    const Resultat r = kivTrain({"--weights", "a.wgh", "--data", "e.dat", "--out", "b.wgh",
                                 "--iterations", "300", "--seed", "3"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    // Every pass asked for: ErreurMax ends no refinement.
    EXPECT_NE(r.erreur.find("Réseau affiné sur 2 exemples : 300 passes ; poids écrits dans "
                            "b.wgh\n"),
              std::string::npos)
        << r.erreur;
    EXPECT_NE(r.erreur.find("\nPasse #300 : "), std::string::npos) << r.erreur;

    ReseauNeurones a;
    a.LirePoids((m_dir / "a.wgh").string());
    ReseauNeurones b;
    b.LirePoids((m_dir / "b.wgh").string());
    // The scaling is the weights' own (the two points alone would give another one).
    const auto memes = [](const Matrice& x, const Matrice& y) {
        if (x.lignes() != y.lignes() || x.colonnes() != y.colonnes()) {
            return false;
        }
        for (int i = 0; i < x.lignes(); ++i) {
            for (int j = 0; j < x.colonnes(); ++j) {
                if (x(i, j) != y(i, j)) {
                    return false;
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(memes(a.echelles().Echelle1, b.echelles().Echelle1));
    EXPECT_TRUE(memes(a.echelles().Echelle2, b.echelles().Echelle2));
    EXPECT_TRUE(memes(a.echelles().Translation1, b.echelles().Translation1));
    EXPECT_TRUE(memes(a.echelles().Translation2, b.echelles().Translation2));
    ASSERT_EQ(b.perceptron()->taille(), a.perceptron()->taille());
    for (int c = 0; c < a.perceptron()->taille(); ++c) {
        EXPECT_EQ((*b.perceptron())[c].taille(), (*a.perceptron())[c].taille());
    }
    // ... and the refined network answers the two points better.
    const auto ecart = [](ReseauNeurones& reseau, double e1, double e2, double e3, double y,
                          double x) {
        Vecteur v;
        EXPECT_TRUE(reseau.Evaluer(e1, e2, e3, v));
        return std::hypot(v[0] - y, v[1] - x);
    };
    EXPECT_LT(ecart(b, 0.15, 0.20, 0.2, 1.6, 3.3) + ecart(b, 0.30, 0.25, 0.25, 3.2, 1.9),
              ecart(a, 0.15, 0.20, 0.2, 1.6, 3.3) + ecart(a, 0.30, 0.25, 0.25, 3.2, 1.9));

    // 2000 passes unless told; a set of another shape is refused, --out untouched.
    const Resultat defaut =
        kivTrain({"--weights", "a.wgh", "--data", "e.dat", "--out", "c.wgh", "--seed", "3"});
    ASSERT_EQ(defaut.statut, 0) << defaut.erreur;
    EXPECT_NE(defaut.erreur.find(" : 2000 passes ; "), std::string::npos);
    ecrire(m_dir / "f.dat", kDonneesUneSortie);
    const std::string avant = lire(m_dir / "b.wgh");
    const Resultat refus = kivTrain({"--weights", "a.wgh", "--data", "f.dat", "--out", "b.wgh"});
    EXPECT_EQ(refus.statut, 1);
    EXPECT_EQ(refus.erreur.substr(refus.erreur.rfind("kiv-train: ")),
              "kiv-train: Vecteur desire invalide!\n");
    EXPECT_EQ(lire(m_dir / "b.wgh"), avant);

    // With parameters, --iterations stands for their IterMax.
    const Resultat p = kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "d.wgh",
                                 "--iterations", "150", "--seed", "7"});
    ASSERT_EQ(p.statut, 0) << p.erreur;
    EXPECT_NE(p.erreur.find("\nPasse #150 : "), std::string::npos) << p.erreur;
    EXPECT_EQ(p.erreur.find("\nPasse #200 : "), std::string::npos) << p.erreur;
}

TEST_F(KivTrain, ParametersThatDoNotFitTheLoadedNetworkAreRefused)
{
    ASSERT_EQ(
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"}).statut,
        0);
    ecrire(m_dir / "p1.prm", parametres(50, 1));
    const Resultat r =
        kivTrain({"--weights", "a.wgh", "--params", "p1.prm", "--data", "d.dat", "--out", "b.wgh"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("kiv-train: Les paramètres (3 entrées, 1 sorties) ne correspondent "
                            "pas au réseau de a.wgh (3 entrées, 2 sorties)\n"),
              std::string::npos)
        << r.erreur;
    EXPECT_FALSE(fs::exists(m_dir / "b.wgh"));
}

TEST_F(KivTrain, MissingFilesExitOneWithTheMessage)
{
    Resultat r = kivTrain({"--params", "p.prm", "--data", "absent.dat", "--out", "a.wgh"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("KIV-ZUL: Erreur d'ouverture du fichier d'entrainement (absent.dat)\n"),
              std::string::npos)
        << r.erreur;
    EXPECT_FALSE(fs::exists(m_dir / "a.wgh"));

    r = kivTrain({"--params", "absent.prm", "--data", "d.dat", "--out", "a.wgh"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.erreur, "kiv-train: Erreur d'ouverture du fichier de paramètres (absent.prm)\n");
    EXPECT_FALSE(fs::exists(m_dir / "a.wgh"));

    r = kivTrain({"--weights", "absent.wgh", "--eval", "1", "2", "3"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.erreur, "kiv-train: Erreur d'ouverture du fichier de poids (absent.wgh)\n");
    EXPECT_EQ(r.sortie, "");
}

TEST_F(KivTrain, ErrorsOfTheModelExitOneAndKeepTheOldWeights)
{
    ecrire(m_dir / "a.wgh", "anciens poids");
    ecrire(m_dir / "g.prm", parametres(200, 2, 2.0));
    Resultat r = kivTrain({"--params", "g.prm", "--data", "d.dat", "--out", "a.wgh"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("kiv-train: Taux d'apprentissage invalide!\n"), std::string::npos)
        << r.erreur;
    EXPECT_EQ(lire(m_dir / "a.wgh"), "anciens poids");

    ecrire(m_dir / "faux.wgh", "ceci n'est pas un fichier de poids\n");
    r = kivTrain({"--weights", "faux.wgh", "--eval", "1", "2", "3"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("kiv-train: faux.wgh:1: Format invalide!\n"), std::string::npos)
        << r.erreur;
    EXPECT_EQ(r.sortie, "");

    ecrire(m_dir / "faux.dat", "(2)\n(3,1) 1 2 3 (2,1) 1\n");
    r = kivTrain({"--params", "p.prm", "--data", "faux.dat", "--out", "a.wgh"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("kiv-train: faux.dat:2: Format invalide!\n"), std::string::npos)
        << r.erreur;
    EXPECT_EQ(lire(m_dir / "a.wgh"), "anciens poids");

    // A network without output neurons, an output field that is no number,
    // a set of no example: refused, and nothing written.
    const std::string sansSortie = parametres(20, 0);
    std::string nan = parametres(20);
    nan.replace(nan.find("MaxOutput=5"), 11, "MaxOutput=nan");
    ecrire(m_dir / "vide.dat", "(0)\n");
    for (const auto& [prm, dat, message] :
         {std::tuple{sansSortie, "d.dat", "Couche sans neurone!"},
          std::tuple{nan, "d.dat", "MaxOutput invalide!"},
          std::tuple{parametres(20), "vide.dat", "vide.dat: Ensemble d'entrainement vide!"}}) {
        ecrire(m_dir / "h.prm", prm);
        r = kivTrain({"--params", "h.prm", "--data", dat, "--out", "a.wgh", "--dump", "h.ext"});
        EXPECT_EQ(r.statut, 1) << message;
        EXPECT_NE(r.erreur.find(std::string("kiv-train: ") + message + "\n"), std::string::npos)
            << r.erreur;
        EXPECT_EQ(lire(m_dir / "a.wgh"), "anciens poids");
        EXPECT_FALSE(fs::exists(m_dir / "h.ext")) << message;
    }
}

TEST_F(KivTrain, UnwritableWeightsFileExitsOne)
{
    const Resultat r =
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "absent/a.wgh", "--seed", "1"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreur.find("kiv-train: Erreur d'écriture du fichier de poids (absent/a.wgh) : " +
                            std::string(std::strerror(ENOENT)) + "\n"),
              std::string::npos)
        << r.erreur;
}

TEST_F(KivTrain, BadArgumentsExitTwoWithUsage)
{
    const std::vector<std::vector<std::string>> mauvais = {
        {},
        {"--frobnicate"},
        {"d.dat"},
        {"--data", "d.dat"},
        {"--out", "a.wgh"},
        {"--params", "p.prm", "--out", "a.wgh"},
        {"--data", "d.dat", "--out"},
        {"--weights", "a.wgh"},
        {"--eval", "1", "2", "3"},
        {"--weights", "a.wgh", "--eval", "1", "2"},
        {"--weights", "a.wgh", "--eval", "1", "x", "3"},
        {"--weights", "a.wgh", "--eval", "1", "2", "3abc"},
        {"--weights", "a.wgh", "--eval", "1", "nan", "3"},
        {"--data", "d.dat", "--out", "a.wgh", "--seed", "0"},
        {"--data", "d.dat", "--out", "a.wgh", "--seed", "-4"},
        {"--data", "d.dat", "--out", "a.wgh", "--seed", "2147483647"},
        {"--data", "d.dat", "--out", "a.wgh", "--seed", "sept"},
        {"--data", "d.dat", "--out", "a.wgh", "--data", "e.dat"},
        {"--data", "d.dat", "--out", "a.wgh", "--iterations", "0"},
        {"--data", "d.dat", "--out", "a.wgh", "--iterations", "10000001"},
        {"--data", "d.dat", "--out", "a.wgh", "--iterations", "2e3"},
        {"--weights", "a.wgh", "--test", "d.dat", "--iterations", "20"},
    };
    for (const auto& arguments : mauvais) {
        std::string ligne;
        for (const std::string& a : arguments) {
            ligne += a + ' ';
        }
        const Resultat r = kivTrain(arguments);
        EXPECT_EQ(r.statut, 2) << ligne;
        EXPECT_EQ(r.erreur.rfind("kiv-train: ", 0), 0u) << ligne << r.erreur;
        EXPECT_NE(r.erreur.find("\nUtilisation :\n"), std::string::npos) << ligne;
        EXPECT_EQ(r.sortie, "") << ligne;
    }
    EXPECT_FALSE(fs::exists(m_dir / "a.wgh"));
    EXPECT_FALSE(fs::exists(m_dir / "test.ext"));
}

TEST_F(KivTrain, HelpGoesToStandardOutput)
{
    for (const char* aide : {"--help", "-h"}) {
        const Resultat r = kivTrain({aide});
        EXPECT_EQ(r.statut, 0);
        EXPECT_EQ(r.sortie.rfind("Utilisation :\n  kiv-train --params", 0), 0u) << r.sortie;
        EXPECT_EQ(r.erreur, "");
    }
}

TEST_F(KivTrain, CtrlCAsksThenASecondOneEndsTheProgram)
{
    ecrire(m_dir / "long.prm", parametres(100000000));
    Processus p(m_dir, {"--params", "long.prm", "--data", "d.dat", "--out", "a.wgh"});
    ASSERT_TRUE(p.lance());
    ASSERT_TRUE(p.attendre("Passe #0 : ", std::chrono::seconds(30))) << p.erreurJusquIci();
    ::kill(p.pid(), SIGINT);
    // No terminal and nothing on stdin: the question cannot be answered and
    // training goes on.
    ASSERT_TRUE(p.attendre("KIV-ZUL: Voulez-vous vraiment annuler l'opération? [o/N] \n"
                           "(pas de réponse : non)\n",
                           std::chrono::seconds(30)))
        << p.erreurJusquIci();
    ::kill(p.pid(), SIGINT);
    const Resultat r = p.terminer(std::chrono::seconds(30));
    EXPECT_EQ(r.signal, SIGINT) << r.erreur;
    EXPECT_FALSE(fs::exists(m_dir / "a.wgh"));
}

/** A pseudo-terminal: the test types at its master end. */
class Pty {
public:
    Pty()
        : m_maitre(::posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (m_maitre >= 0 && ::grantpt(m_maitre) == 0 && ::unlockpt(m_maitre) == 0) {
            m_nom = ::ptsname(m_maitre);
        }
    }
    ~Pty()
    {
        if (m_maitre >= 0) {
            ::close(m_maitre);
        }
    }
    const std::string& nom() const { return m_nom; }

    /** Reads what the program writes on its terminal until `texte` shows (at most `limite`). */
    bool attendre(const std::string& texte, std::chrono::seconds limite)
    {
        const auto fin = std::chrono::steady_clock::now() + limite;
        while (m_lu.find(texte) == std::string::npos) {
            if (std::chrono::steady_clock::now() >= fin) {
                return false;
            }
            pollfd p{m_maitre, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                char tampon[256];
                const ssize_t n = ::read(m_maitre, tampon, sizeof tampon);
                if (n <= 0) {
                    return false;
                }
                m_lu.append(tampon, static_cast<std::size_t>(n));
            }
        }
        return true;
    }
    void taper(const std::string& texte)
    {
        ASSERT_EQ(::write(m_maitre, texte.data(), texte.size()),
                  static_cast<ssize_t>(texte.size()));
    }
    const std::string& lu() const { return m_lu; }

private:
    int m_maitre;
    std::string m_nom;
    std::string m_lu;
};

TEST_F(KivTrain, CtrlCAnsweredYesOnTheTerminalStopsAndKeepsTheWeights)
{
    Pty pty;
    ASSERT_FALSE(pty.nom().empty()) << "no pseudo-terminal available";
    ecrire(m_dir / "long.prm", parametres(100000000));
    Processus p(m_dir, {"--params", "long.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "4"},
                pty.nom());
    ASSERT_TRUE(p.lance());
    ASSERT_TRUE(p.attendre("Passe #0 : ", std::chrono::seconds(30))) << p.erreurJusquIci();

    // First a No: training goes on.
    ::kill(p.pid(), SIGINT);
    const std::string question = "KIV-ZUL: Voulez-vous vraiment annuler l'opération? [o/N] ";
    ASSERT_TRUE(pty.attendre(question, std::chrono::seconds(30))) << pty.lu();
    pty.taper("non\n");
    // The log shows the answer, though it was typed on the terminal.
    ASSERT_TRUE(p.attendre(question + "non\n", std::chrono::seconds(30))) << p.erreurJusquIci();

    // Then a Yes: the pass ends, the final texts and the weights are written.
    ::kill(p.pid(), SIGINT);
    ASSERT_TRUE(pty.attendre(question + "non\r\n" + question, std::chrono::seconds(30)))
        << pty.lu();
    pty.taper("o\n");
    const Resultat r = p.terminer(std::chrono::seconds(60));
    EXPECT_EQ(r.statut, 0) << r.erreur;
    EXPECT_TRUE(std::regex_search(r.erreur, std::regex("\nErreur quadratique:\nPasse #[0-9]+ : "
                                                       "[0-9.]+\nTaux de classement: [0-9.]+\n"
                                                       "Poids écrits dans a\\.wgh\n$")))
        << r.erreur;
    EXPECT_EQ(r.erreur.find("Passe #100000000"), std::string::npos);
    EXPECT_FALSE(lire(m_dir / "a.wgh").empty());
}

TEST_F(KivTrain, ARefinementStoppedWithCtrlCWritesNothing)
{
    Pty pty;
    ASSERT_FALSE(pty.nom().empty()) << "no pseudo-terminal available";
    ASSERT_EQ(
        kivTrain({"--params", "p.prm", "--data", "d.dat", "--out", "a.wgh", "--seed", "7"}).statut,
        0);
    ecrire(m_dir / "b.wgh", "previous");
    // The first run's output is not this one's progress.
    fs::remove(m_dir / ".stderr");
    Processus p(m_dir,
                {"--weights", "a.wgh", "--data", "d.dat", "--out", "b.wgh", "--iterations",
                 "10000000", "--seed", "4"},
                pty.nom());
    ASSERT_TRUE(p.lance());
    ASSERT_TRUE(p.attendre("Passe #0 : ", std::chrono::seconds(30))) << p.erreurJusquIci();
    ::kill(p.pid(), SIGINT);
    const std::string question = "KIV-ZUL: Voulez-vous vraiment annuler l'opération? [o/N] ";
    ASSERT_TRUE(pty.attendre(question, std::chrono::seconds(30))) << pty.lu();
    pty.taper("o\n");
    const Resultat r = p.terminer(std::chrono::seconds(60));
    EXPECT_EQ(r.statut, 1) << r.erreur;
    EXPECT_TRUE(std::regex_search(r.erreur, std::regex("kiv-train: affinage annulé après [0-9]+ "
                                                       "passes ; b\\.wgh n'est pas écrit\n$")))
        << r.erreur;
    EXPECT_EQ(lire(m_dir / "b.wgh"), "previous");
}

} // namespace

namespace {

bool finitPar(const std::string& texte, const std::string& fin)
{
    return texte.size() >= fin.size() &&
           texte.compare(texte.size() - fin.size(), fin.size(), fin) == 0;
}

} // namespace

TEST_F(KivTrain, TestPrintsTheErrorOfASetAsTheConsoleReadsPositions)
{
    ecrire(m_dir / "c.wgh", kiv_test::kPoidsConstants);
    // The network answers 200.7 cm for both outputs, which the console reads as 200.
    ecrire(m_dir / "t.dat", "# y, x\n(4)\n"
                            "(3,1) 0.15 0.15 0.15 (2,1) 200 200\n"
                            "(3,1) 0.14 0.15 0.16 (2,1) 203 204\n"
                            "(3,1) 0.16 0.15 0.14 (2,1) 200 190\n"
                            "(3,1) 0.15 0.16 0.14 (2,1) 212 195\n");
    const Resultat r = kivTrain({"--weights", "c.wgh", "--test", "t.dat"});
    ASSERT_EQ(r.statut, 0) << r.erreur;
    EXPECT_EQ(r.sortie,
              "4 points : RMS 8.57 cm, médiane 7.50 cm, pire 13.00 cm (point 4 : x 195, y 212)\n");

    const Resultat sansReseau = kivTrain({"--test", "t.dat"});
    EXPECT_EQ(sansReseau.statut, 2);
    EXPECT_EQ(sansReseau.erreur.substr(0, sansReseau.erreur.find('\n')),
              "kiv-train: --test demande un réseau : --weights, ou un entraînement avec --data");

    ecrire(m_dir / "mauvais.dat", "(2)\n(3,1) 0.15 0.15 0.15 (2,1) 200 200\n(3,1) 0.1 x\n");
    const Resultat mauvais = kivTrain({"--weights", "c.wgh", "--test", "mauvais.dat"});
    EXPECT_EQ(mauvais.statut, 1);
    // After the error's own diagnostic line.
    EXPECT_TRUE(finitPar(mauvais.erreur, "\nkiv-train: mauvais.dat:3: Format invalide!\n"))
        << mauvais.erreur;

    ecrire(m_dir / "deux.dat", "(1)\n(2,1) 0.15 0.15 (2,1) 200 200\n");
    const Resultat deux = kivTrain({"--weights", "c.wgh", "--test", "deux.dat"});
    EXPECT_EQ(deux.statut, 1);
    EXPECT_TRUE(finitPar(deux.erreur, "\nkiv-train: deux.dat: Vecteur d'entree invalide!\n"))
        << deux.erreur;

    const Resultat absent = kivTrain({"--weights", "c.wgh", "--test", "absent.dat"});
    EXPECT_EQ(absent.statut, 1);
    EXPECT_EQ(absent.erreur,
              "kiv-train: Erreur d'ouverture du fichier d'entrainement (absent.dat)\n");
}

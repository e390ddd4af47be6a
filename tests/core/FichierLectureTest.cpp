// Files named by the user are opened without blocking and only when they
// are regular files: a FIFO nobody writes to, a folder, a device read as
// files that cannot be opened, with the reason in words.
#include "core/FichierLecture.h"
#include "support/RepertoireTemporaire.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using kiv_test::RepertoireTemporaire;

void ecrire(const std::string& chemin, const std::string& texte)
{
    std::ofstream(chemin, std::ios::binary) << texte;
}

TEST(FichierLecture, ARegularFileReadsAndSeeksLikeABinaryFileStream)
{
    RepertoireTemporaire dossier;
    ecrire(dossier / "a.txt", std::string("un\r\ndeux\0trois", 14));
    ecrire(dossier / "b.txt", "autre");
    // A link to a regular file is followed (the user's own links).
    fs::create_symlink(dossier / "a.txt", dossier / "lien.txt");

    FichierLecture f(dossier / "lien.txt");
    ASSERT_TRUE(f.is_open());
    EXPECT_EQ(f.erreur(), 0);
    EXPECT_EQ(f.raison(), "");
    std::string mot;
    std::getline(f, mot);
    EXPECT_EQ(mot, "un\r"); // binary: the CR stays
    EXPECT_EQ(f.tellg(), 4);
    f.seekg(8);
    char octet = 'x';
    ASSERT_TRUE(f.get(octet));
    EXPECT_EQ(octet, '\0');
    f.seekg(0);
    std::getline(f, mot);
    EXPECT_EQ(mot, "un\r");

    // Opened again on another file: its state is cleared, its bytes are the new file's.
    f.get(octet);
    f.seekg(0, std::ios::end);
    f.get(octet);
    ASSERT_TRUE(f.eof());
    ASSERT_TRUE(f.ouvrir(dossier / "b.txt"));
    EXPECT_TRUE(f.good());
    std::getline(f, mot);
    EXPECT_EQ(mot, "autre");
}

TEST(FichierLecture, WhatIsNoRegularFileIsRefusedAtOnceWithItsReason)
{
    RepertoireTemporaire dossier;
    // A FIFO nobody writes to: an std::ifstream would wait in open() for good.
    ASSERT_EQ(::mkfifo((dossier / "tube").c_str(), 0600), 0);
    fs::create_symlink(dossier / "tube", dossier / "vers-tube");
    fs::create_directory(dossier / "dossier");

    struct Cas {
        std::string chemin;
        int erreur;
        std::string raison;
    };
    const Cas cas[] = {
        {dossier / "tube", lecture::ErreurTube, "c'est un tube (FIFO)"},
        {dossier / "vers-tube", lecture::ErreurTube, "c'est un tube (FIFO)"},
        {dossier / "dossier", lecture::ErreurDossier, "c'est un dossier"},
        {"/dev/null", lecture::ErreurPeripherique, "c'est un périphérique"},
        {"/dev/zero", lecture::ErreurPeripherique, "c'est un périphérique"},
        {dossier / "absent", ENOENT, std::strerror(ENOENT)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.chemin);
        FichierLecture f(c.chemin);
        EXPECT_FALSE(f.is_open());
        EXPECT_TRUE(f.fail());
        EXPECT_EQ(f.erreur(), c.erreur);
        EXPECT_EQ(f.raison(), c.raison);
        int erreur = 0;
        EXPECT_EQ(lecture::ouvrir(c.chemin, erreur), -1);
        EXPECT_EQ(erreur, c.erreur);
    }
}

TEST(FichierLecture, WithoutFollowingLinksALinkIsRefusedEvenToARegularFile)
{
    RepertoireTemporaire dossier;
    ecrire(dossier / "a.txt", "texte");
    fs::create_symlink(dossier / "a.txt", dossier / "lien.txt");

    FichierLecture lien(dossier / "lien.txt", false);
    EXPECT_FALSE(lien.is_open());
    EXPECT_EQ(lien.erreur(), lecture::ErreurLien);
    EXPECT_EQ(lien.raison(), "c'est un lien symbolique");

    FichierLecture fichier(dossier / "a.txt", false);
    EXPECT_TRUE(fichier.is_open());
    // A failed opening leaves nothing open, whatever was before.
    EXPECT_FALSE(fichier.ouvrir(dossier / "lien.txt", false));
    EXPECT_FALSE(fichier.is_open());
    EXPECT_TRUE(fichier.fail());
}

} // namespace

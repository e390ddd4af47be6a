// kiv-icone: writes the application's icon, the robot the console draws
// for its windows, as the PNG sizes of an icon theme (DIR/hicolor/NxN/apps/
// kiv-zul.png). Run by the build; the installed icons come from it.
#include "console/Icones.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("kiv-icone " KIV_VERSION);
        return 0;
    }
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fputs("usage: kiv-icone DOSSIER   écrit DOSSIER/hicolor/NxN/apps/kiv-zul.png\n",
                   argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const QString racine = QString::fromLocal8Bit(argv[1]);
    for (const int cote : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dossier = QStringLiteral("%1/hicolor/%2x%2/apps").arg(racine).arg(cote);
        if (!QDir().mkpath(dossier) ||
            !imageRobot(cote).save(dossier + QStringLiteral("/kiv-zul.png"), "PNG")) {
            std::fprintf(stderr, "kiv-icone: %s/kiv-zul.png ne peut pas être écrit\n",
                         qPrintable(dossier));
            return 1;
        }
    }
    return 0;
}

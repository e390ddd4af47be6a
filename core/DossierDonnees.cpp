#include "core/DossierDonnees.h"

#include <system_error>

namespace donnees {

namespace fs = std::filesystem;

fs::path dossierInstalle(const fs::path& executable)
{
    return executable.parent_path().parent_path() / "share" / "kiv-zul";
}

fs::path executableCourant()
{
    std::error_code erreur;
    fs::path p = fs::read_symlink("/proc/self/exe", erreur);
    return erreur ? fs::path() : p;
}

std::string chemin(const std::string& nom)
{
    std::error_code erreur;
    const fs::path installe = dossierInstalle(executableCourant()) / nom;
    if (fs::is_regular_file(installe, erreur)) {
        return installe.string();
    }
#ifdef KIV_SOURCE_DATA_DIR
    const fs::path source = fs::path(KIV_SOURCE_DATA_DIR) / nom;
    if (fs::is_regular_file(source, erreur)) {
        return source.string();
    }
#endif
    return installe.string();
}

} // namespace donnees

#include "core/RapportErreur.h"

#include "core/Platform.h"
#include "core/StringTable.h"

#include <exception>
#include <string>

namespace {

void signaler(const std::string& texte)
{
    platform().messageBox(texte, platform().loadString(ids::AppTitle), MessageButtons::Ok,
                          MessageIcon::Stop);
}

} // namespace

bool executerProtege(const std::function<void()>& travail)
{
    try {
        travail();
        return true;
    } catch (const std::exception& e) {
        // Erreur keeps the user's text in what(); the library's own
        // exceptions (an allocation refused for a huge layer) have theirs.
        signaler(e.what());
    } catch (...) {
        signaler("Erreur inattendue");
    }
    return false;
}

#include "console/IndicateursClavier.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#include <dlfcn.h>

namespace {

// The few Xlib entry points needed, looked up in the already loaded library so
// that the program does not depend on Xlib where there is no X server.
using XAtom = unsigned long;
using FnInternAtom = XAtom (*)(void* display, const char* name, int onlyIfExists);
using FnGetNamedIndicator = int (*)(void* display, XAtom name, int* index, int* state, void* map,
                                    int* real);

struct Xlib {
    FnInternAtom internAtom = nullptr;
    FnGetNamedIndicator getNamedIndicator = nullptr;
};

const Xlib& xlib()
{
    static const Xlib fonctions = [] {
        Xlib f;
        if (void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD)) {
            f.internAtom = reinterpret_cast<FnInternAtom>(dlsym(lib, "XInternAtom"));
            f.getNamedIndicator =
                reinterpret_cast<FnGetNamedIndicator>(dlsym(lib, "XkbGetNamedIndicator"));
        }
        return f;
    }();
    return fonctions;
}

std::optional<bool> indicateur(void* display, const char* nom)
{
    const Xlib& x = xlib();
    const XAtom atome = x.internAtom(display, nom, 1);
    if (atome == 0) {
        return std::nullopt;
    }
    int allume = 0;
    if (!x.getNamedIndicator(display, atome, nullptr, &allume, nullptr, nullptr)) {
        return std::nullopt;
    }
    return allume != 0;
}

} // namespace

EtatVerrous lireVerrousSysteme()
{
#if QT_CONFIG(xcb)
    auto* app = qGuiApp;
    auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    void* display = x11 ? static_cast<void*>(x11->display()) : nullptr;
    if (display && xlib().internAtom && xlib().getNamedIndicator) {
        return {indicateur(display, "Caps Lock"), indicateur(display, "Num Lock"),
                indicateur(display, "Scroll Lock")};
    }
#endif
    return {};
}

QLabel* creerVolet(QStatusBar* barre, const QString& nom, const QString& gabarit)
{
    auto* volet = new QLabel(barre);
    volet->setObjectName(nom);
    volet->setFrameShape(QFrame::Panel);
    volet->setFrameShadow(QFrame::Sunken);
    volet->setAlignment(Qt::AlignCenter);
    volet->setMinimumWidth(volet->fontMetrics().horizontalAdvance(gabarit) + 8);
    barre->addPermanentWidget(volet);
    return volet;
}

IndicateursClavier::IndicateursClavier(QStatusBar* barre, LecteurVerrous lecteur)
    : QObject(barre)
    , m_maj(creerVolet(barre, QStringLiteral("voletMAJ"), QStringLiteral("MAJ")))
    , m_num(creerVolet(barre, QStringLiteral("voletNUM"), QStringLiteral("NUM")))
    , m_def(creerVolet(barre, QStringLiteral("voletDEF"), QStringLiteral("DEF")))
    , m_lecteur(std::move(lecteur))
{
    QCoreApplication::instance()->installEventFilter(this);
    actualiser();
}

void IndicateursClavier::setLecteur(LecteurVerrous lecteur)
{
    m_lecteur = std::move(lecteur);
    actualiser();
}

void IndicateursClavier::actualiser()
{
    const EtatVerrous etat = m_lecteur ? m_lecteur() : EtatVerrous{};
    auto montrer = [](QLabel* volet, std::optional<bool> allume, const char* texte) {
        volet->setText(allume.value_or(false) ? QString::fromLatin1(texte) : QString());
    };
    montrer(m_maj, etat.majuscules, "MAJ");
    montrer(m_num, etat.numerique, "NUM");
    montrer(m_def, etat.defilement, "DEF");
}

bool IndicateursClavier::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        // Once per key, at the window that receives it first.
        if (watched->isWindowType()) {
            actualiser();
        }
        break;
    case QEvent::ApplicationStateChange:
        actualiser();
        break;
    default:
        break;
    }
    return false;
}

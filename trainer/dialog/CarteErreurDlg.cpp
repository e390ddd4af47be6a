#include "trainer/dialog/CarteErreurDlg.h"

#include "core/EcritureSure.h"
#include "core/Platform.h"
#include "core/RapportErreur.h"
#include "core/StringTable.h"
#include "trainer/ReseauNeurones.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MargeGauche = 40;
constexpr int MargeHaut = 48;
constexpr int LargeurEchelle = 16;
constexpr int Largeur = MargeGauche + CotePixelsCarte + 24 + LargeurEchelle + 64;
constexpr int Hauteur = MargeHaut + CotePixelsCarte + 32;
constexpr double CoteTerrain = 500.0;
constexpr const char* kFiltrePng = "Image PNG (*.png)|*.png||";

/** Between a and b, in whole 8-bit steps: the picture stores exactly this colour. */
QColor melange(const QColor& a, const QColor& b, double f)
{
    const auto canal = [f](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * f)); };
    return {canal(a.red(), b.red()), canal(a.green(), b.green()), canal(a.blue(), b.blue())};
}

QString nombre(double v)
{
    return QString::number(v, 'g', 4);
}

} // namespace

double hautEchelle(double pire)
{
    for (const double haut : {1.0, 2.0, 5.0, 10.0, 25.0, 50.0, 100.0, 250.0, 500.0}) {
        if (pire <= haut) {
            return haut;
        }
    }
    return 500.0;
}

QColor couleurErreur(double erreur, double haut)
{
    static const QColor vert(0, 170, 0);
    static const QColor jaune(235, 200, 0);
    static const QColor rouge(215, 0, 0);
    // Not a number counts as the worst.
    const double f = std::isnan(erreur) ? 1.0 : std::clamp(erreur / haut, 0.0, 1.0);
    return f <= 0.5 ? melange(vert, jaune, f * 2.0) : melange(jaune, rouge, (f - 0.5) * 2.0);
}

QPointF pixelDuPoint(double x, double y)
{
    const double k = CotePixelsCarte / CoteTerrain;
    return {MargeGauche + x * k, MargeHaut + y * k};
}

QImage dessinerCarteErreur(const std::vector<ErreurExemple>& resultats, const StatistiquesErreur& s,
                           const QString& titre)
{
    QImage image(Largeur, Hauteur, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF terrain(MargeGauche, MargeHaut, CotePixelsCarte, CotePixelsCarte);

    // Title and figures above the field.
    p.setPen(Qt::black);
    p.drawText(QRectF(4, 2, Largeur - 8, 20), Qt::AlignLeft | Qt::AlignVCenter, titre);
    p.drawText(QRectF(4, 22, Largeur - 8, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1 points : RMS %2 cm, médiane %3 cm, pire %4 cm")
                   .arg(s.nombre)
                   .arg(s.rms, 0, 'f', 2)
                   .arg(s.mediane, 0, 'f', 2)
                   .arg(s.pire, 0, 'f', 2));

    // The field: a light line every metre, the cells' corners at 25 cm are too dense to help.
    p.setPen(QPen(QColor(225, 225, 225), 1));
    for (int m = 100; m < 500; m += 100) {
        p.drawLine(pixelDuPoint(m, 0), pixelDuPoint(m, CoteTerrain));
        p.drawLine(pixelDuPoint(0, m), pixelDuPoint(CoteTerrain, m));
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(terrain);
    for (int m = 0; m <= 500; m += 100) {
        p.drawText(QRectF(pixelDuPoint(m, 0).x() - 20, MargeHaut + CotePixelsCarte + 2, 40, 14),
                   Qt::AlignCenter, QString::number(m));
        p.drawText(QRectF(0, pixelDuPoint(0, m).y() - 7, MargeGauche - 4, 14),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(m));
    }

    // The points, the worst drawn last so that none hides it.
    const double haut = hautEchelle(s.pire);
    std::vector<std::size_t> ordre(resultats.size());
    for (std::size_t i = 0; i < ordre.size(); ++i) {
        ordre[i] = i;
    }
    std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) {
        return resultats[a].erreur < resultats[b].erreur;
    });
    const double rayon = resultats.size() > 400 ? 3.0 : 5.0;
    p.setPen(QPen(QColor(60, 60, 60), 0.5));
    p.setClipRect(terrain.adjusted(-rayon, -rayon, rayon, rayon));
    for (const std::size_t i : ordre) {
        const ErreurExemple& r = resultats[i];
        if (r.desire.taille() < 2) {
            continue;
        }
        p.setBrush(couleurErreur(r.erreur, haut));
        p.drawEllipse(pixelDuPoint(r.desire[1], r.desire[0]), rayon, rayon);
    }
    p.setClipping(false);

    // The scale: the colours from 0 (bottom) to its top.
    const int xEchelle = MargeGauche + CotePixelsCarte + 24;
    for (int k = 0; k < CotePixelsCarte; ++k) {
        const double f = 1.0 - static_cast<double>(k) / (CotePixelsCarte - 1);
        p.fillRect(QRect(xEchelle, MargeHaut + k, LargeurEchelle, 1),
                   couleurErreur(f * haut, haut));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(xEchelle, MargeHaut, LargeurEchelle, CotePixelsCarte));
    for (int k = 0; k <= 4; ++k) {
        const double y = MargeHaut + CotePixelsCarte - k * CotePixelsCarte / 4.0;
        p.drawText(QRectF(xEchelle + LargeurEchelle + 4, y - 7, 60, 14),
                   Qt::AlignLeft | Qt::AlignVCenter, nombre(haut * k / 4.0) + " cm");
    }
    p.end();
    return image;
}

CarteErreurDlg::CarteErreurDlg(std::vector<ErreurExemple> resultats, const QString& titre,
                               QWidget* parent)
    : QDialog(parent)
    , m_resultats(std::move(resultats))
    , m_statistiques(statistiquesErreur(m_resultats))
    , m_image(dessinerCarteErreur(m_resultats, m_statistiques, titre))
{
    setWindowTitle(QStringLiteral("Carte d'erreur"));
    auto* image = new QLabel(this);
    image->setPixmap(QPixmap::fromImage(m_image));
    m_texte =
        new QLabel(QString::fromStdString(texteStatistiques(m_statistiques, m_resultats)), this);
    m_texte->setObjectName(QStringLiteral("statistiques"));
    m_texte->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_enregistrer = new QPushButton(QStringLiteral("&Enregistrer l'image..."), this);
    m_enregistrer->setObjectName(QStringLiteral("enregistrerImage"));
    m_enregistrer->setAutoDefault(false);
    auto* fermer = new QPushButton(QStringLiteral("&Fermer"), this);
    fermer->setObjectName(QStringLiteral("fermer"));
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(m_texte, 1);
    boutons->addWidget(m_enregistrer);
    boutons->addWidget(fermer);
    auto* colonne = new QVBoxLayout(this);
    colonne->addWidget(image);
    colonne->addLayout(boutons);
    connect(m_enregistrer, &QPushButton::clicked, this,
            [this] { executerProtege([this] { enregistrerImage(); }); });
    connect(fermer, &QPushButton::clicked, this, &QDialog::accept);
}

bool CarteErreurDlg::enregistrerImage()
{
    const auto choix = platform().chooseFile(FileDialogKind::Save, kFiltrePng);
    if (!choix) {
        return false;
    }
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    m_image.save(&tampon, "PNG");
    // A failure keeps the previous file and says why.
    std::string raison;
    if (octets.isEmpty() ||
        !ecrireFichierSur(
            *choix, std::string_view(octets.constData(), static_cast<std::size_t>(octets.size())),
            &raison)) {
        platform().messageBox(messageEcriture(*choix, raison), platform().loadString(ids::AppTitle),
                              MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

// The boxes' kept panels: what they show is what the style draws, pixel for
// pixel, through changes of text, size, state and palette.
#include "console/StyleCadreMemorise.h"

#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPalette>
#include <gtest/gtest.h>

#include <functional>

namespace {

/** A group box with one box, as on the console's view. */
struct Boite {
    explicit Boite(QStyle* style = nullptr)
        : champ(new QLineEdit(&groupe))
    {
        groupe.resize(160, 70);
        champ->setGeometry(12, 20, 90, 24);
        champ->setReadOnly(true);
        if (style != nullptr) {
            champ->setStyle(style);
        }
        champ->setBackgroundRole(QPalette::Window);
        champ->setAutoFillBackground(true);
        groupe.show();
    }
    QImage image() { return groupe.grab().toImage(); }

    QGroupBox groupe{"Robot"};
    QLineEdit* champ;
};

} // namespace

TEST(StyleCadreMemorise, KeptPanelsAreThePanelsTheStyleDraws)
{
    StyleCadreMemorise style;
    Boite memorisee(&style);
    Boite directe;
    const auto pareilles = [&](const char* etape, const std::function<void(QLineEdit*)>& changer) {
        changer(memorisee.champ);
        changer(directe.champ);
        QImage attendue = directe.image();
        EXPECT_TRUE(memorisee.image() == attendue) << etape << ", first paint";
        EXPECT_TRUE(memorisee.image() == attendue) << etape << ", from the kept panel";
        return attendue;
    };
    const QImage debut = pareilles("start", [](QLineEdit* b) { b->setText("250 cm"); });
    pareilles("new value", [](QLineEdit* b) { b->setText("97 cm"); });
    pareilles("resized", [](QLineEdit* b) { b->resize(60, 30); });
    pareilles("disabled", [](QLineEdit* b) { b->setEnabled(false); });
    pareilles("enabled again", [](QLineEdit* b) { b->setEnabled(true); });
    const QImage rouge = pareilles("another palette", [](QLineEdit* b) {
        QPalette p = b->palette();
        p.setColor(QPalette::Base, Qt::red);
        p.setColor(QPalette::Window, Qt::yellow);
        b->setPalette(p);
    });
    EXPECT_FALSE(rouge == debut) << "a new palette is not the old panel";
}

// The battery bar at line rate: the value at once, the paints bounded.
#include "console/NiveauBarre.h"

#include <QEvent>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

/** Counts the paints a widget receives. */
class CompteurPeintures : public QObject {
public:
    int peintures = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        peintures += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

TEST(NiveauBarre, ValuesAtOncePaintsBoundedAndTheLastOneShown)
{
    QWidget fenetre;
    fenetre.resize(240, 60);
    QProgressBar barre(&fenetre);
    barre.setRange(0, 230);
    barre.setGeometry(10, 10, 200, 24);
    fenetre.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fenetre));
    CompteurPeintures compteur;
    barre.installEventFilter(&compteur);
    NiveauBarre niveau(&barre, nullptr);

    // A hundred frames' levels in one turn: each one read back at once, and
    // not one paint each (QProgressBar::setValue alone paints every one).
    for (int k = 1; k <= 100; ++k) {
        niveau.poser(2 * k);
        ASSERT_EQ(barre.value(), 2 * k);
    }
    EXPECT_EQ(compteur.peintures, 0);
    // The pause over, the bar paints its last value.
    ASSERT_TRUE(QTest::qWaitFor([&] { return compteur.peintures > 0; }));
    EXPECT_TRUE(barre.updatesEnabled());
    EXPECT_LE(compteur.peintures, 2);
    EXPECT_EQ(barre.value(), 200);

    // Out of range, the bar keeps its value, as setValue does.
    niveau.poser(500);
    EXPECT_EQ(barre.value(), 200);
}

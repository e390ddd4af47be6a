#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>

/** Size of the toolbar's pictures, in pixels. */
inline constexpr QSize TailleIconeBarre{19, 18};

/** The application's icon: the two-wheeled robot seen from above, 16 to 48 pixels. */
QIcon iconeApplication();
/** The same robot as a `cote` x `cote` picture on a transparent ground (the installed icons). */
QImage imageRobot(int cote);

// Toolbar pictures, drawn at TailleIconeBarre.
QIcon iconeImprimer();
QIcon iconeQuadrillage();
QIcon iconePortSerie();
QIcon iconeAPropos();

#include "core/qt/FenetreProprietaire.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

QWidget* fenetreProprietaire()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* fenetre : QApplication::topLevelWidgets()) {
        if (fenetre->isVisible() && qobject_cast<QMainWindow*>(fenetre)) {
            return fenetre;
        }
    }
    return nullptr;
}

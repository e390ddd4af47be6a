#pragma once

#include "console/KIVView.h"

#include <QMainWindow>

/** The main window "KIV-ZUL": holds the control view. */
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(OptionsConsole options = {}, QWidget* parent = nullptr);

    CKIVView* view() const { return m_view; }

private:
    CKIVView* m_view;
};

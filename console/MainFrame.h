#pragma once

#include <QMainWindow>

class CKIVView;

/** The main window "KIV-ZUL": holds the control view. */
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(QWidget* parent = nullptr);

    CKIVView* view() const { return m_view; }

private:
    CKIVView* m_view;
};

#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

/** The About box: the application's icon, its name and version, year and maker, OK. */
class AboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* parent = nullptr);

    /** The three lines of text, top to bottom. */
    QStringList lignes() const;
    QLabel* icone() const { return m_icone; }
    QPushButton* boutonOk() const { return m_ok; }

private:
    QLabel* m_icone;
    QList<QLabel*> m_lignes;
    QPushButton* m_ok;
};

#pragma once

#include <QLabel>
#include <QStringList>

/**
 * A status-bar pane of fixed width: while it shows a text it asks for the
 * width of the widest of its patterns whatever its text, so that the panes
 * beside it stay where they are as its text changes; empty, it takes no
 * room. A text wider than the pane is cut with "…" and shown whole in its
 * tooltip. When the bar lacks room for every pane, the panes shrink the
 * same way instead of widening the window.
 */
class VoletTexte : public QLabel {
public:
    explicit VoletTexte(QWidget* parent = nullptr);

    /** The texts whose widest gives the pane's width. */
    void setGabarits(const QStringList& gabarits);
    int largeurFixe() const { return m_largeur; }
    /** The text as the pane draws it in its width. */
    QString texteAffiche() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_largeur = 0;
};

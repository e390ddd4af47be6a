#include "console/MainFrame.h"

#include "console/KIVView.h"
#include "core/Platform.h"
#include "core/StringTable.h"

#include <QScrollArea>

CMainFrame::CMainFrame(OptionsConsole options, QWidget* parent)
    : QMainWindow(parent)
    , m_view(new CKIVView(nullptr, std::move(options)))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QString::fromStdString(platform().loadString(ids::AppTitle)));
    // Like a form view, the form scrolls when the frame is smaller than it.
    auto* defilement = new QScrollArea(this);
    defilement->setWidgetResizable(true);
    defilement->setFrameShape(QFrame::NoFrame);
    defilement->setWidget(m_view);
    setCentralWidget(defilement);
    // The frame, title bar included, sits at the screen's top-left corner.
    move(0, 0);
    resize(790, 580);
}

#include "console/MainFrame.h"

#include "console/KIVView.h"
#include "core/Platform.h"
#include "core/StringTable.h"

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_view(new CKIVView(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QString::fromStdString(platform().loadString(ids::AppTitle)));
    setCentralWidget(m_view);
    // The frame, title bar included, sits at the screen's top-left corner.
    move(0, 0);
    resize(790, 580);
}

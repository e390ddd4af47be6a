#pragma once

#include "console/KIVView.h"

#include <memory>
#include <string>

class CKIVDoc;
class CMainFrame;

/**
 * The application's one document type: a `CKIVDoc` shown in a `CMainFrame`
 * holding a `CKIVView`. It owns the document and the frame; the frame goes
 * first when it is destroyed, the document after it.
 */
class CSingleDocTemplate {
public:
    /** `idRessources` names the template string, the menu, the toolbar. */
    explicit CSingleDocTemplate(int idRessources);
    ~CSingleDocTemplate();

    int idRessources() const { return m_idRessources; }
    /** Field `n` of the template string (window title, document name, ...). */
    std::string GetDocString(int n) const;

    /**
     * A new, empty document: the first time, the document, then the frame and
     * its view, built with `options`; later, the same document emptied.
     * Returns the frame.
     */
    CMainFrame* OpenNewDocument(OptionsConsole options);

    CKIVDoc* document() const { return m_document.get(); }
    CMainFrame* frame() const { return m_frame.get(); }

private:
    int m_idRessources;
    std::unique_ptr<CKIVDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
};

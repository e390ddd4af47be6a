#include "console/DocTemplate.h"

#include "console/KIVDoc.h"
#include "console/MainFrame.h"
#include "core/Platform.h"

CSingleDocTemplate::CSingleDocTemplate(int idRessources)
    : m_idRessources(idRessources)
{}

CSingleDocTemplate::~CSingleDocTemplate()
{
    // The frame and its view refer to the document: they go first.
    m_frame.reset();
    m_document.reset();
}

std::string CSingleDocTemplate::GetDocString(int n) const
{
    const std::string texte = platform().loadString(m_idRessources);
    std::size_t debut = 0;
    for (int k = 0; k < n; ++k) {
        debut = texte.find('\n', debut);
        if (debut == std::string::npos) {
            return {};
        }
        ++debut;
    }
    return texte.substr(debut, texte.find('\n', debut) - debut);
}

CMainFrame* CSingleDocTemplate::OpenNewDocument(OptionsConsole options)
{
    if (!m_document) {
        m_document = std::make_unique<CKIVDoc>();
    }
    if (!m_document->OnNewDocument()) {
        return nullptr;
    }
    if (!m_frame) {
        m_frame = std::make_unique<CMainFrame>(std::move(options));
        m_frame->attacherDocument(m_document.get());
    }
    return m_frame.get();
}

// The console tests run in a folder of their own: the link reads its
// settings file from the working directory, and the port dialog writes it
// there and in the settings store, neither of which may be the user's.
#include "link/settings/EcritureScom.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

class RepertoireTravail : public ::testing::Environment {
public:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        m_dossier = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_dossier->isValid());
        m_precedent = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dossier->path()));
        // COM1 at 1200 baud, the link's defaults.
        ASSERT_TRUE(ecrireScom(PortSettings{1, 1200}));
    }
    void TearDown() override
    {
        QDir::setCurrent(m_precedent);
        m_dossier.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dossier;
    QString m_precedent;
};

const auto* const g_repertoire = ::testing::AddGlobalTestEnvironment(new RepertoireTravail);

} // namespace

// A test or benchmark run of its own: a private prefix for named objects, a private registry
// file and private desktop folders, so that runs never meet each other, a running player or the
// user's desktop. Programs the run starts inherit all of it. Undone when the object goes.
#pragma once

#include "platform/objectnames.h"

#include <QDir>

#include <cstdlib>
#include <string>

#include <unistd.h>

namespace testrun {

class IsolatedRun {
public:
    // name: the prefix of this run's objects and files ("qvtest", "qvbench" ...).
    explicit IsolatedRun(const std::string& name)
    {
        const std::string run = name + "-" + std::to_string(getpid());
        m_ownPrefix = !std::getenv("QUORVALEN_PREFIX");
        if (m_ownPrefix)
            setenv("QUORVALEN_PREFIX", run.c_str(), 1);
        if (!std::getenv("QUORVALEN_REGISTRY_FILE")) {
            m_registryFile = QDir::tempPath().toStdString() + "/" + run + "-registry.ini";
            setenv("QUORVALEN_REGISTRY_FILE", m_registryFile.c_str(), 1);
        }
        // Always our own: file associations written by a test must never reach the user's desktop.
        m_xdgRoot = QDir::tempPath() + "/" + QString::fromStdString(run) + "-xdg";
        setenv("XDG_DATA_HOME", (m_xdgRoot + "/data").toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_HOME", (m_xdgRoot + "/config").toLocal8Bit().constData(), 1);
    }
    ~IsolatedRun()
    {
        if (m_ownPrefix)
            platform::removeNamedObjects();
        QDir(m_xdgRoot).removeRecursively();
        if (!m_registryFile.empty()) {
            unlink(m_registryFile.c_str());
            unlink((m_registryFile + ".lock").c_str());
        }
    }
    IsolatedRun(const IsolatedRun&) = delete;
    IsolatedRun& operator=(const IsolatedRun&) = delete;

private:
    bool m_ownPrefix = false;
    std::string m_registryFile;
    QString m_xdgRoot;
};

}  // namespace testrun

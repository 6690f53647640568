// The data of a host-tool test on the server its run is for: a data folder of the local server,
// or, in the run on the remote server, a data set of its own on the throwaway PostgreSQL server
// (with --remote in force for the host commands), removed again at the end.
#pragma once

#include "EngineSession.h"
#include "testsupport/ScratchServer.h"

#include <QString>
#include <QTemporaryDir>

class HostServerData {
public:
    explicit HostServerData(const char *tag) {
        if (ScratchServer::inUse()) {
            ScratchServer::useIt();
            setRemoteServer(true);
            m_path = QString::fromStdString(ScratchServer::uniqueDataSet(tag));
        } else {
            m_path = m_dir.filePath(QStringLiteral("daten"));
        }
    }
    ~HostServerData() {
        if (!remoteServer())
            return;
        setRemoteServer(false);
        ScratchServer::dropDataSet(m_path.toStdString());
    }
    HostServerData(const HostServerData &) = delete;
    HostServerData &operator=(const HostServerData &) = delete;

    static bool remote() { return ScratchServer::inUse(); }
    const QString &path() const { return m_path; }
    QString scratchFile(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

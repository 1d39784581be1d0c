#include "catalog/InetWorkers.h"

#include "net/InetSearch.h"

namespace vorlane {

TNetTask::TNetTask(TWork work, QObject *parent)
    : QThread(parent)
    , vWork(std::move(work))
{
}

TNetTask::~TNetTask()
{
    RequestStop();
    wait();
}

void TNetTask::run()
{
    vWork(vStop);
}

TVLCacheRefreshThread::TVLCacheRefreshThread(const QString &serverName,
                                             const QString &programDataDir, QObject *parent)
    : QThread(parent)
    , vServerName(serverName)
    , vProgramDataDir(programDataDir)
{
}

TVLCacheRefreshThread::~TVLCacheRefreshThread()
{
    RequestStop();
    wait();
}

void TVLCacheRefreshThread::run()
{
    vReport = RefreshCatalogueCache(vServerName, vProgramDataDir, &vStop);
}

TVLParser::TVLParser(const QString &query, const TServices &services, quint64 generation,
                     QObject *parent)
    : QThread(parent)
    , vQuery(query)
    , vServices(services)
    , vGeneration(generation)
{
}

TVLParser::~TVLParser()
{
    RequestStop();
    wait();
}

void TVLParser::run()
{
    vList = RunInetSearch(vQuery, vServices, &vStop);
}

TAccountUploader::TAccountUploader(const TFtpSettings &storage, const TFileList &playList,
                                   const QString &account, const QString &webFolder,
                                   QObject *parent)
    : QThread(parent)
    , vFTP(storage)
    , vPlayList(playList)
    , Account(account)
    , vWebFolder(webFolder)
{
}

TAccountUploader::~TAccountUploader()
{
    RequestStop();
    wait();
}

void TAccountUploader::run()
{
    vResult = UploadLocalFiles(vFTP, vPlayList, Account, vWebFolder, &vStop);
}

} // namespace vorlane

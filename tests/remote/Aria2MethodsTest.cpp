// SPDX-License-Identifier: MIT
#include "tests/remote/RemoteFixture.h"

#include "queue/EntryListText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>

using namespace std::chrono_literals;

namespace {
const QString a = QStringLiteral("000000000000000a");
const QString b = QStringLiteral("000000000000000b");
const QString done = QStringLiteral("000000000000000c");
const QString failed = QStringLiteral("000000000000000d");

struct Call
{
    const char *method;
    const char *params;
    const char *answer;
};

/** A transfer that runs until it is cancelled, and says what it kept for a later try. */
ScriptedService::Script runsUntilCancelled(std::atomic<bool> &running)
{
    return [&running](UrlDownloadCallback &callback) {
        callback.onStartBinding();
        callback.onResumable(
            PartialFile{QStringLiteral("/downloads/big.bin"), QStringLiteral("big.bin.part"), "v", 4096});
        running = true;
        while (!callback.onProgress(1024, 4096))
            QThread::msleep(1);
        callback.onStopBinding(TransferOutcome::cancelled());
        return TransferOutcome::cancelled();
    };
}
} // namespace

class Aria2MethodsTest : public RemoteFixture
{
protected:
    void record(DownloadEntry::Id id, DownloadEntry::State state, std::optional<FailureCause> cause = {})
    {
        DownloadEntry entry;
        entry.id = id;
        entry.url = QStringLiteral("http://host/") + QString::number(id);
        entry.state = state;
        entry.lastFailure = std::move(cause);
        entry.sizeBytes = entry.receivedBytes = 100;
        session.history().record(entry);
    }

    void start()
    {
        queue.showHead();
        session.StartDownload1Click();
    }

    /** A direct link's answer: the file comes at once, saved as name. */
    void offerFile(const QString &name)
    {
        int ended = 0;
        const auto connection = QObject::connect(&flow, &PageFlow::transferEnded, &flow, [&] { ++ended; });
        emit browser.fileOffered(QStringLiteral("http://files/f.bin"), name,
                                 QStringLiteral("application/octet-stream"));
        EXPECT_TRUE(runWithinBudget([&] { return ended == 1; }, 5s));
        QObject::disconnect(connection);
    }
};

TEST_F(Aria2MethodsTest, AnswersEachMethodInAria2sShape)
{
    queueEntry(0xa, QStringLiteral("http://host/a"));
    queueEntry(0xb, QStringLiteral("http://host/b"), DownloadEntry::State::Paused);
    record(0xc, DownloadEntry::State::Done);
    record(0xd, DownloadEntry::State::Failed, FailureCause::fromPageStatus(503));
    const std::vector<Call> calls{
        {"aria2.tellStatus", R"(["000000000000000a",["gid","status","quorvelPhase","files"]])",
         R"({"gid":"000000000000000a","status":"waiting","quorvelPhase":"queued","files":[{"index":"1","path":"",
             "length":"0","completedLength":"0","selected":"true","uris":[{"uri":"http://host/a","status":"waiting"}]}]})"},
        {"aria2.tellStatus", R"(["000000000000000d",["status","errorCode","errorMessage","totalLength"]])",
         R"({"status":"error","errorCode":"29","errorMessage":"The server answered HTTP 503.","totalLength":"100"})"},
        {"aria2.tellStatus", R"(["00000000000000ff"])", R"({"code":1,"message":"GID 00000000000000ff is not found"})"},
        {"aria2.tellStatus", R"(["0x0000000000000a"])", R"({"code":1,"message":"Invalid GID 0x0000000000000a"})"},
        {"aria2.tellStatus", "[]", R"({"code":1,"message":"The parameter at 0 is required but missing."})"},
        {"aria2.getUris", R"(["000000000000000c"])", R"([{"uri":"http://host/12","status":"used"}])"},
        {"aria2.tellWaiting", R"([0,10,["gid","status"]])",
         R"([{"gid":"000000000000000a","status":"waiting"},{"gid":"000000000000000b","status":"paused"}])"},
        {"aria2.tellWaiting", R"([-1,1,["gid"]])", R"([{"gid":"000000000000000b"}])"},
        {"aria2.tellWaiting", R"([0,-1])",
         R"({"code":1,"message":"The integer parameter at 1 has invalid value: the value must be greater than or equal to 0."})"},
        {"aria2.tellWaiting", R"(["0",1])", R"({"code":1,"message":"The parameter at 0 has wrong type."})"},
        {"aria2.tellStopped", R"([-1,5,["gid","status"]])",
         R"([{"gid":"000000000000000d","status":"error"},{"gid":"000000000000000c","status":"complete"}])"},
        {"aria2.tellActive", R"([["gid"]])", "[]"},
        {"aria2.getGlobalStat", "[]",
         R"({"downloadSpeed":"0","uploadSpeed":"0","numActive":"0","numWaiting":"2","numStopped":"2","numStoppedTotal":"2"})"},
        {"aria2.getGlobalOption", "[]",
         R"({"dir":"/downloads","max-concurrent-downloads":"1","max-overall-download-limit":"0",
             "max-download-limit":"0"})"},
        {"aria2.changeGlobalOption", R"([{"max-overall-download-limit":"2M","pause":"true"}])", R"("OK")"},
        {"aria2.changeGlobalOption", R"([{"dir":"/","max-download-limit":"500K"}])",
         R"({"code":1,"message":"dir / is not a folder inside the save folder /downloads."})"},
        {"aria2.changeGlobalOption", R"([{"max-download-limit":"fast"}])",
         R"({"code":1,"message":"We encountered a problem while processing the option '--max-download-limit'."})"},
        {"aria2.pause", R"(["000000000000000c"])",
         R"({"code":1,"message":"GID#000000000000000c cannot be paused now"})"},
        {"aria2.unpause", R"(["000000000000000a"])",
         R"({"code":1,"message":"GID#000000000000000a cannot be unpaused now"})"},
        {"aria2.remove", R"(["000000000000000c"])",
         R"({"code":1,"message":"Active Download not found for GID#000000000000000c"})"},
        {"aria2.changePosition", R"(["000000000000000b",0,"POS_SET"])", "0"},
        {"aria2.changePosition", R"(["000000000000000b",5,"POS_CUR"])", "1"},
        {"aria2.changePosition", R"(["000000000000000b",0,"POS_NEAR"])", R"({"code":1,"message":"Illegal argument."})"},
        {"aria2.changePosition", R"(["000000000000000c",0,"POS_SET"])",
         R"({"code":1,"message":"GID#000000000000000c not found in the waiting queue."})"},
        {"aria2.removeDownloadResult", R"(["000000000000000c"])", R"("OK")"},
        {"aria2.removeDownloadResult", R"(["000000000000000a"])",
         R"({"code":1,"message":"Could not remove download result of GID#000000000000000a"})"},
        {"aria2.addUri", R"([["magnet:?xt=urn:btih:00"]])",
         R"({"code":1,"message":"No URI to download: only http and https URIs are fetched."})"},
        {"aria2.addUri", R"([[]])", R"({"code":1,"message":"URI is not provided."})"},
        {"aria2.saveSession", "[]", R"({"code":1,"message":"Filename is not given."})"},
        {"aria2.shutdown", "[]", R"("OK")"},
        {"aria2.forceShutdown", "[]", R"("OK")"},
    };
    std::vector<bool> shutdowns;
    QObject::connect(&methods, &RpcEndpoint::shutdownRequested, &methods,
                     [&shutdowns](bool force) { shutdowns.push_back(force); });
    std::vector<qint64> limits;
    QObject::connect(&methods, &Aria2Methods::speedLimitAsked, &methods,
                     [&limits](qint64 bytesPerSecond) { limits.push_back(bytesPerSecond); });
    for (const Call &c : calls) {
        const QJsonValue params = json(c.params);
        ASSERT_TRUE(params.isArray()) << c.params;
        // Answers that are a bare number or string are not JSON documents of their own.
        const QJsonValue expected = json((QByteArray("[") + c.answer + "]").constData()).toArray().first();
        EXPECT_EQ(call(QLatin1String(c.method), params.toArray()), expected) << c.method << ' ' << c.params;
    }
    EXPECT_EQ(shutdowns, (std::vector<bool>{false, true}));
    EXPECT_EQ(limits, std::vector<qint64>{2 * 1024 * 1024});
    methods.setSpeedLimit(4096);
    EXPECT_EQ(call(QStringLiteral("aria2.getGlobalOption"), {})[QStringLiteral("max-download-limit")],
              QStringLiteral("4096"));
    // A window whose queue is not kept has no session to save.
    for (const bool keeping : {false, true}) {
        methods.setSessionSaver([keeping] { return keeping; });
        EXPECT_EQ(call(QStringLiteral("aria2.saveSession"), {}).isString(), keeping);
    }
}

TEST_F(Aria2MethodsTest, APausedEntryKeepsItsPlaceAndTheRunPassesItBy)
{
    queueEntry(0xa, QStringLiteral("http://host/a"));
    queueEntry(0xb, QStringLiteral("http://host/b"));
    EXPECT_EQ(call(QStringLiteral("aria2.pause"), {a}), a);
    start();
    EXPECT_EQ(browser.navigated, QStringList{QStringLiteral("http://host/b")});
    EXPECT_EQ(queue.indexOf(0xa), 1);
    EXPECT_EQ(statusOf(a), QStringLiteral("paused"));
    // Kept as such: a restored queue holds it back too.
    QByteArray kept;
    EntryListText::write(queue.entry(1), kept);
    DownloadQueue restored;
    restored.appendEntries(EntryListText::read(QString::fromUtf8(kept), true).entries);
    ASSERT_EQ(restored.count(), 1) << kept.toStdString();
    EXPECT_EQ(restored.entry(0).state, DownloadEntry::State::Paused);

    // Pausing the walked entry ends its walk and goes on with the next.
    const QString c = call(QStringLiteral("aria2.addUri"), {QJsonArray{QStringLiteral("http://host/c")}}).toString();
    EXPECT_EQ(call(QStringLiteral("aria2.pause"), {b}), b);
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("http://host/c"));
    EXPECT_EQ(statusOf(b), QStringLiteral("paused"));
    EXPECT_EQ(call(QStringLiteral("aria2.unpause"), {a}), a);
    EXPECT_EQ(statusOf(a), QStringLiteral("waiting"));
    EXPECT_EQ(
        notifications,
        (QStringList{QStringLiteral("aria2.onDownloadPause ") + a, QStringLiteral("aria2.onDownloadPause ") + b}));
}

TEST_F(Aria2MethodsTest, APausedTransferWaitsWithWhatItFetched)
{
    queueEntry(0xa, QStringLiteral("http://host/a"));
    queueEntry(0xb, QStringLiteral("http://host/b"));
    std::atomic<bool> running = false;
    service.setScript(runsUntilCancelled(running));
    start();
    emit browser.fileOffered(QStringLiteral("http://files/big.bin"), QStringLiteral("big.bin"),
                             QStringLiteral("application/octet-stream"));
    ASSERT_TRUE(runWithinBudget([&] { return running.load() && statusOf(a) == QLatin1String("active"); }, 5s));
    EXPECT_EQ(call(QStringLiteral("aria2.pause"), {a}), a);
    ASSERT_TRUE(runWithinBudget([&] { return statusOf(a) == QLatin1String("paused"); }, 5s));
    // The run goes on with the next entry; the paused one keeps its part for its resumption.
    EXPECT_EQ(browser.navigated.last(), QStringLiteral("http://host/b"));
    const DownloadEntry &paused = queue.entry(queue.indexOf(0xa));
    ASSERT_TRUE(paused.part.has_value());
    EXPECT_EQ(paused.part->target, QStringLiteral("/downloads/big.bin"));
    EXPECT_TRUE(service.discarded.isEmpty());
}

TEST_F(Aria2MethodsTest, AFolderOutsideTheSaveFolderIsRefused)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("save/sub")));
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("elsewhere")));
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("elsewhere")), root.filePath(QStringLiteral("save/way-out"))));
    const QString save = root.filePath(QStringLiteral("save"));
    view.folder = save;
    const std::vector<std::pair<QString, QString>> dirs{
        {save + QStringLiteral("/sub"), save + QStringLiteral("/sub")},
        {QStringLiteral("sub"), save + QStringLiteral("/sub")},
        {save, save},
        {root.filePath(QStringLiteral("elsewhere")), QString()},
        {save + QStringLiteral("/../elsewhere"), QString()},
        {save + QStringLiteral("/way-out"), QString()},
        {save + QStringLiteral("/missing"), QString()},
        {QStringLiteral("/"), QString()},
    };
    for (const auto &[dir, taken] : dirs) {
        const QJsonObject options{{QStringLiteral("dir"), dir}};
        const QJsonValue added = call(QStringLiteral("aria2.addUri"),
                                      {QJsonArray{QStringLiteral("http://host/x")}, options});
        const QJsonValue changed = call(QStringLiteral("aria2.changeGlobalOption"), {options});
        if (taken.isEmpty()) {
            EXPECT_EQ(added[QStringLiteral("code")], 1) << dir.toStdString();
            EXPECT_EQ(changed[QStringLiteral("code")], 1) << dir.toStdString();
        } else {
            EXPECT_EQ(call(QStringLiteral("aria2.getOption"), {added})[QStringLiteral("dir")], taken)
                << dir.toStdString();
            EXPECT_EQ(changed, QStringLiteral("OK"));
        }
    }
    EXPECT_EQ(queue.count(), 3);
    // The file goes where the entry's options say, by the name they give.
    call(QStringLiteral("aria2.changeGlobalOption"), {QJsonObject{{QStringLiteral("dir"), QStringLiteral("sub")}}});
    queue.clear();
    call(QStringLiteral("aria2.addUri"),
         {QJsonArray{QStringLiteral("http://host/y")},
          QJsonObject{{QStringLiteral("out"), QStringLiteral("named.bin")}}});
    EXPECT_EQ(call(QStringLiteral("aria2.addUri"),
                   {QJsonArray{QStringLiteral("http://host/z")},
                    QJsonObject{{QStringLiteral("out"), QStringLiteral("../x")}}})[QStringLiteral("code")],
              1);
    notifications.clear();
    start();
    offerFile(QStringLiteral("offered.bin"));
    EXPECT_EQ(download.FileName(), save + QStringLiteral("/sub/named.bin"));
    const QString gid = DownloadEntry::idText(session.history().records().last().id);
    EXPECT_EQ(notifications,
              (QStringList{QStringLiteral("aria2.onDownloadStart ") + gid,
                           QStringLiteral("aria2.onDownloadComplete ") + gid}));
}

TEST_F(Aria2MethodsTest, ARemovedEntryLeavesWithItsPart)
{
    DownloadEntry kept;
    kept.id = 0xa;
    kept.url = QStringLiteral("http://host/a");
    kept.part = PartialFile{QStringLiteral("/downloads/a.bin"), QStringLiteral("a.bin.part"), "v", 10};
    queue.appendEntries({kept});
    queueEntry(0xb, QStringLiteral("http://host/b"));
    EXPECT_EQ(call(QStringLiteral("aria2.remove"), {a}), a);
    EXPECT_EQ(statusOf(a), QStringLiteral("removed"));
    EXPECT_EQ(service.discarded, QStringList{QStringLiteral("/downloads/a.bin")});

    // The running transfer is cancelled, and what it kept goes too.
    std::atomic<bool> running = false;
    service.setScript(runsUntilCancelled(running));
    start();
    emit browser.fileOffered(QStringLiteral("http://files/big.bin"), QStringLiteral("big.bin"),
                             QStringLiteral("application/octet-stream"));
    ASSERT_TRUE(runWithinBudget([&] { return running.load() && statusOf(b) == QLatin1String("active"); }, 5s));
    EXPECT_EQ(call(QStringLiteral("aria2.tellActive"), {QJsonArray{QStringLiteral("gid")}}),
              (QJsonArray{QJsonObject{{QStringLiteral("gid"), b}}}));
    EXPECT_EQ(call(QStringLiteral("aria2.forceRemove"), {b}), b);
    ASSERT_TRUE(runWithinBudget([&] { return statusOf(b) == QLatin1String("removed"); }, 5s));
    EXPECT_TRUE(service.discarded.contains(QStringLiteral("/downloads/big.bin")))
        << service.discarded.join(u' ').toStdString();
    EXPECT_FALSE(session.history().at(session.history().indexOf(0xb)).part.has_value());
    EXPECT_EQ(notifications,
              (QStringList{QStringLiteral("aria2.onDownloadStop ") + a, QStringLiteral("aria2.onDownloadStart ") + b,
                           QStringLiteral("aria2.onDownloadStop ") + b}));
}

TEST_F(Aria2MethodsTest, ALinkAddedToAFinishedRunStartsItAndAFullQueueTakesNone)
{
    const QJsonArray link{QStringLiteral("http://host/a")};
    // Never started: the link waits for the user's start, as in the window.
    call(QStringLiteral("aria2.addUri"), {link});
    EXPECT_TRUE(browser.navigated.isEmpty());
    queue.clear();
    start();
    runWithinBudget([] { return false; }, 20ms);
    const QString gid = call(QStringLiteral("aria2.addUri"), {link, QJsonObject{}, 0}).toString();
    EXPECT_EQ(browser.navigated, QStringList{QStringLiteral("http://host/a")});
    EXPECT_EQ(statusOf(gid), QStringLiteral("waiting"));
    EXPECT_EQ(call(QStringLiteral("aria2.tellStatus"), {gid, QJsonArray{QStringLiteral("quorvelPhase")}}),
              (QJsonObject{{QStringLiteral("quorvelPhase"), QStringLiteral("page")}}));
    // A client cannot grow the queue for ever.
    queue.appendAll(QStringList(Aria2Methods::maxQueued - queue.count(), QStringLiteral("http://host/many")));
    EXPECT_EQ(call(QStringLiteral("aria2.addUri"), {link}),
              (QJsonObject{{QStringLiteral("code"), 1},
                           {QStringLiteral("message"), QStringLiteral("The queue is full: 100000 entries wait.")}}));
}

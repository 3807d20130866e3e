// SPDX-License-Identifier: MIT
// What any client meets before a method runs: JSON-RPC framing, batches and the secret.
#include "tests/remote/RemoteFixture.h"

namespace {

struct Exchange
{
    const char *name;
    QByteArray body;
    /** The whole answer; null for none, empty for any result. */
    const char *answer;
};

QByteArray nested(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

const char *const unauthorized = R"({"jsonrpc":"2.0","id":1,"error":{"code":1,"message":"Unauthorized"}})";

} // namespace

class Aria2Protocol : public RemoteFixture
{
};

TEST_F(Aria2Protocol, AnswersAsAria2DoesToEveryKindOfBody)
{
    const std::vector<Exchange> exchanges{
        {"not JSON", "{\"id\":1,", R"({"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Parse error."}})"},
        {"nested past the parser's depth", nested(10'000),
         R"({"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Parse error."}})"},
        {"no method", R"({"jsonrpc":"2.0","id":1})",
         R"({"jsonrpc":"2.0","id":1,"error":{"code":-32600,"message":"Invalid Request."}})"},
        {"an id that is an object", R"({"jsonrpc":"2.0","id":{},"method":"aria2.getVersion"})",
         R"({"jsonrpc":"2.0","id":null,"error":{"code":-32600,"message":"Invalid Request."}})"},
        {"parameters by name", R"({"jsonrpc":"2.0","id":1,"method":"aria2.tellStatus","params":{"gid":"a"}})",
         R"({"jsonrpc":"2.0","id":1,"error":{"code":-32602,"message":"Invalid params."}})"},
        {"an empty batch", "[]", R"({"jsonrpc":"2.0","id":null,"error":{"code":-32600,"message":"Invalid Request."}})"},
        {"a notification", R"({"jsonrpc":"2.0","method":"aria2.pauseAll","params":["token:s3cret"]})", nullptr},
        {"a batch of a call, a notification and a number",
         R"([{"jsonrpc":"2.0","id":"x","method":"aria2.getSessionInfo"},{"jsonrpc":"2.0","method":"aria2.pauseAll"},5])",
         R"([{"jsonrpc":"2.0","id":"x","error":{"code":1,"message":"Unauthorized"}},
             {"jsonrpc":"2.0","id":null,"error":{"code":-32600,"message":"Invalid Request."}}])"},
        {"an unknown method", R"({"jsonrpc":"2.0","id":1,"method":"aria2.addTorrent","params":["token:s3cret"]})",
         R"({"jsonrpc":"2.0","id":1,"error":{"code":1,"message":"No such method: aria2.addTorrent"}})"},
        {"no secret", R"({"jsonrpc":"2.0","id":1,"method":"aria2.getGlobalStat"})", unauthorized},
        {"a wrong secret", R"({"jsonrpc":"2.0","id":1,"method":"aria2.getGlobalStat","params":["token:s3crex"]})",
         unauthorized},
        {"the secret's start", R"({"jsonrpc":"2.0","id":1,"method":"aria2.getGlobalStat","params":["token:s3cre"]})",
         unauthorized},
        {"the secret without its prefix",
         R"({"jsonrpc":"2.0","id":1,"method":"aria2.getGlobalStat","params":["s3cret"]})", unauthorized},
        {"the secret", R"({"jsonrpc":"2.0","id":1,"method":"aria2.getSessionInfo","params":["token:s3cret"]})", ""},
        {"the notifications, asked without the secret",
         R"({"jsonrpc":"2.0","id":1,"method":"system.listNotifications"})",
         R"({"jsonrpc":"2.0","id":1,"result":["aria2.onDownloadStart","aria2.onDownloadPause","aria2.onDownloadStop",
             "aria2.onDownloadComplete","aria2.onDownloadError"]})"},
        {"a multicall, each call with its own secret",
         R"({"jsonrpc":"2.0","id":1,"method":"system.multicall","params":[[
             {"methodName":"aria2.changePosition","params":["token:s3cret","000000000000000a",0,"POS_SET"]},
             {"methodName":"aria2.getGlobalStat","params":["token:wrong"]},
             {"methodName":"system.multicall","params":[[]]},
             {"methodName":"aria2.nothing"},
             7]]})",
         R"({"jsonrpc":"2.0","id":1,"result":[[0],{"code":1,"message":"Unauthorized"},
             {"code":1,"message":"Recursive system.multicall forbidden."},
             {"code":1,"message":"No such method: aria2.nothing"},
             {"code":1,"message":"system.multicall expected struct."}]})"},
    };
    queueEntry(0xa, QStringLiteral("http://host/a"));
    for (const Exchange &exchange : exchanges) {
        const QJsonValue answer = rpc(exchange.body);
        if (exchange.answer && QByteArray(exchange.answer).isEmpty())
            EXPECT_TRUE(answer.toObject().contains(QStringLiteral("result"))) << exchange.name;
        else
            EXPECT_EQ(answer, json(exchange.answer)) << exchange.name;
    }
}

TEST_F(Aria2Protocol, AnEmptySecretLetsNoCallThrough)
{
    Aria2Methods open{session, QString()};
    const QByteArray answer = open.answer(
        R"({"jsonrpc":"2.0","id":1,"method":"aria2.getGlobalStat","params":["token:"]})");
    EXPECT_EQ(QJsonDocument::fromJson(answer).object(), json(unauthorized).toObject());
}

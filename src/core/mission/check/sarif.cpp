#include "core/mission/check/sarif.h"

#include "core/app/version.h"
#include "core/mission/check/checkreport.h"
#include "core/mission/check/rules.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace MissionFolder::Sarif {

namespace {

const QString SourceRoot = QStringLiteral("%SRCROOT%");

QJsonObject text(const QString &message)
{
    return {{QStringLiteral("text"), message}};
}

QJsonArray locations(const Finding &finding)
{
    const Problem &problem = finding.problem;
    QString uri = QString::fromLatin1(QUrl::toPercentEncoding(finding.uri, "/"));
    if (uri.isEmpty() || uri == u"./")
        uri = QStringLiteral(".");
    const QJsonObject artifact{{QStringLiteral("uri"), uri}, {QStringLiteral("uriBaseId"), SourceRoot}};
    QJsonObject region{{QStringLiteral("startLine"), std::max(problem.line, 1)}};
    if (problem.line > 0 && problem.column > 0)
        region.insert(QStringLiteral("startColumn"), problem.column);
    return {QJsonObject{
        {QStringLiteral("physicalLocation"),
         QJsonObject{{QStringLiteral("artifactLocation"), artifact}, {QStringLiteral("region"), region}}}}};
}

QJsonArray rules()
{
    QJsonArray rules;
    for (const CheckRules::Rule &rule : CheckRules::all()) {
        const auto said = [](const char *words) { return QCoreApplication::translate("CheckRules", words); };
        rules.append(QJsonObject{
            {QStringLiteral("id"), QString::fromLatin1(rule.id)},
            {QStringLiteral("shortDescription"), text(said(rule.summary))},
            {QStringLiteral("fullDescription"), text(said(rule.details))},
            {QStringLiteral("help"), text(said(rule.help))},
            {QStringLiteral("defaultConfiguration"),
             QJsonObject{{QStringLiteral("level"), CheckRules::levelName(rule.level)}}}});
    }
    return rules;
}

} // namespace

QByteArray log(const QList<Finding> &findings, const QString &root, int exitCode)
{
    QJsonArray results, notifications;
    const QList<CheckRules::Rule> &known = CheckRules::all();
    for (const Finding &finding : findings) {
        const Problem &problem = finding.problem;
        QJsonObject result{{QStringLiteral("level"), severityName(problem.severity)},
                           {QStringLiteral("message"), text(problem.message)},
                           {QStringLiteral("locations"), locations(finding)}};
        if (problem.unchecked) {
            notifications.append(result);
            continue;
        }
        result.insert(QStringLiteral("ruleId"), problem.rule);
        const auto rule = std::find_if(known.cbegin(), known.cend(),
                                       [&](const CheckRules::Rule &each) { return problem.rule == QLatin1String(each.id); });
        if (rule != known.cend())
            result.insert(QStringLiteral("ruleIndex"), static_cast<int>(rule - known.cbegin()));
        result.insert(QStringLiteral("partialFingerprints"),
                      QJsonObject{{QStringLiteral("quillwright/v1"), finding.fingerprint}});
        results.append(result);
    }
    QJsonObject invocation{{QStringLiteral("executionSuccessful"), notifications.isEmpty()},
                           {QStringLiteral("exitCode"), exitCode}};
    if (!notifications.isEmpty())
        invocation.insert(QStringLiteral("toolExecutionNotifications"), notifications);
    const QJsonObject driver{{QStringLiteral("name"), QStringLiteral("Quillwright")},
                             {QStringLiteral("version"), Version::buildVersion()},
                             {QStringLiteral("rules"), rules()}};
    const QJsonObject run{
        {QStringLiteral("tool"), QJsonObject{{QStringLiteral("driver"), driver}}},
        {QStringLiteral("originalUriBaseIds"),
         QJsonObject{{SourceRoot, QJsonObject{{QStringLiteral("description"), text(root)}}}}},
        {QStringLiteral("columnKind"), QStringLiteral("utf16CodeUnits")},
        {QStringLiteral("invocations"), QJsonArray{invocation}},
        {QStringLiteral("results"), results}};
    const QJsonObject sarif{{QStringLiteral("$schema"), QStringLiteral("https://json.schemastore.org/sarif-2.1.0.json")},
                            {QStringLiteral("version"), QStringLiteral("2.1.0")},
                            {QStringLiteral("runs"), QJsonArray{run}}};
    return QJsonDocument(sarif).toJson(QJsonDocument::Indented);
}

} // namespace MissionFolder::Sarif

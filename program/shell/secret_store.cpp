#include "shell/secret_store.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <memory>

#include <qt6keychain/keychain.h>

namespace q5::shell {

namespace {

constexpr int kWaitMs = 8000;

struct Answer {
    bool done = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
    QString secret;
};

// Starts the job and waits until it finishes or the wait runs out. The job
// deletes itself when it finishes, also after a wait that ran out.
template <class Job>
Answer Run(Job* job, void (*take)(Job*, Answer&)) {
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QObject::connect(job, &QKeychain::Job::finished, job, [answer, waiting, take](QKeychain::Job* finished) {
        answer->done = true;
        answer->error = finished->error();
        answer->text = finished->errorString();
        take(static_cast<Job*>(finished), *answer);
        if (waiting) waiting->quit();
    });
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never the plain-text settings file
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!answer->done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!answer->done)
        answer->text = QCoreApplication::translate("SecretStore", "the secret store did not answer");
    return *answer;
}

}  // namespace

QString SecretStore::Service() {
    return QStringLiteral("Q5Client");
}

bool SecretStore::Write(const QString& key, const QString& secret, QString* why) {
    auto* job = new QKeychain::WritePasswordJob(Service());
    job->setKey(key);
    job->setTextData(secret);
    const Answer answer = Run<QKeychain::WritePasswordJob>(job, [](QKeychain::WritePasswordJob*, Answer&) {});
    const bool ok = answer.done && answer.error == QKeychain::NoError;
    if (!ok && why) *why = answer.text;
    return ok;
}

std::optional<QString> SecretStore::Read(const QString& key) {
    auto* job = new QKeychain::ReadPasswordJob(Service());
    job->setKey(key);
    const Answer answer = Run<QKeychain::ReadPasswordJob>(
        job, [](QKeychain::ReadPasswordJob* done, Answer& a) { a.secret = done->textData(); });
    if (!answer.done || answer.error != QKeychain::NoError) return std::nullopt;
    return answer.secret;
}

bool SecretStore::Remove(const QString& key) {
    auto* job = new QKeychain::DeletePasswordJob(Service());
    job->setKey(key);
    const Answer answer =
        Run<QKeychain::DeletePasswordJob>(job, [](QKeychain::DeletePasswordJob*, Answer&) {});
    return answer.done && (answer.error == QKeychain::NoError || answer.error == QKeychain::EntryNotFound);
}

}  // namespace q5::shell

#include "fleet/FleetPassword.h"

#include <QFile>
#include <QFileInfo>

#include <qt6keychain/keychain.h>

#include <sys/stat.h>

namespace fleet {

namespace {

constexpr const char* kService = "qvt-vz1-controller";

QString KeyOf(const FleetConfig& config)
{
    return QStringLiteral("fleet:%1@%2").arg(config.user, config.broker);
}

} // namespace

std::optional<QString> ReadPasswordFile(const QString& path, QString* error)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = QStringLiteral("The password file %1 cannot be read.").arg(path);
        return std::nullopt;
    }
    if (st.st_mode & (S_IRWXG | S_IRWXO)) {
        *error = QStringLiteral("The password file %1 may be read by others; it is not used until only you can read it "
                                "(chmod 600).").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The password file %1 cannot be read.").arg(path);
        return std::nullopt;
    }
    return QString::fromUtf8(file.readLine(4096)).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

void FetchPassword(const FleetConfig& config, QObject* context,
                   std::function<void(std::optional<QString>, QString)> done)
{
    if (!config.passwordFile.isEmpty()) {
        QString error;
        auto password = ReadPasswordFile(config.passwordFile, &error);
        done(std::move(password), error);
        return;
    }
    if (config.user.isEmpty()) {
        done(QString(), QString());
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(QLatin1String(kService), context);
    job->setKey(KeyOf(config));
    QObject::connect(job, &QKeychain::Job::finished, context, [done](QKeychain::Job* j) {
        // Nothing stored, or no secret store on this desktop: the user name alone.
        auto* read = static_cast<QKeychain::ReadPasswordJob*>(j);
        done(read->error() == QKeychain::NoError ? read->textData() : QString(), QString());
    });
    job->start();
}

void StorePassword(const FleetConfig& config, const QString& password)
{
    QKeychain::Job* job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(QLatin1String(kService));
    } else {
        auto* write = new QKeychain::WritePasswordJob(QLatin1String(kService));
        write->setTextData(password);
        job = write;
    }
    job->setKey(KeyOf(config));
    job->start();  // deletes itself when done
}

} // namespace fleet

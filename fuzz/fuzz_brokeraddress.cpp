// The broker address, topic and credentials readers: any text is taken or refused with a reason;
// what is taken is a usable address (printed again it reads the same), every topic built for a
// sensor from an accepted pattern is one that may be published to.

#include "fuzzsupport.h"

#include "publish/brokeraddress.h"
#include "publish/credentials.h"

#include <QString>

using namespace DrumoSensorPlugin::Core;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QString text = QString::fromUtf8(bytes);

    BrokerAddress address;
    QString error;
    if (parseBrokerUrl(text, &address, &error)) {
        FUZZ_CHECK(error.isEmpty(), "an address taken with an error");
        FUZZ_CHECK(!address.host.isEmpty(), "an address without a host");
        FUZZ_CHECK(address.port >= 1 && address.port <= 65535, "port %d", address.port);
        const QString host = address.host.contains(QLatin1Char(':'))
            ? QStringLiteral("[%1]").arg(address.host)
            : address.host;
        const QString again
            = QStringLiteral("%1://%2:%3")
                  .arg(address.tls ? QLatin1String("mqtts") : QLatin1String("mqtt"), host)
                  .arg(address.port);
        BrokerAddress reread;
        FUZZ_CHECK(parseBrokerUrl(again, &reread, &error), "printed address refused: %s",
                   qPrintable(again));
        FUZZ_CHECK(reread.host == address.host && reread.port == address.port
                       && reread.tls == address.tls,
                   "printed address reads otherwise: %s", qPrintable(again));
    } else {
        FUZZ_CHECK(!error.isEmpty(), "an address refused without a reason");
    }

    // The input's halves as a sensor type and a port name under a pattern made of the input.
    const QString level = topicLevel(text);
    FUZZ_CHECK(!level.isEmpty() && !level.contains(QLatin1Char('/'))
                   && !level.contains(QLatin1Char('+')) && !level.contains(QLatin1Char('#')),
               "topic level %s", qPrintable(level));
    const QString type = text.left(text.size() / 2);
    const QString port = text.mid(text.size() / 2);
    if (publishTopicError(baseTopic(text, QStringLiteral("t"), QStringLiteral("p"))).isEmpty()
        && text.size() < 1000) {
        const QString topic = baseTopic(text, type, port);
        FUZZ_CHECK(topic.contains(QLatin1Char('+')) == false && !topic.contains(QLatin1Char('#')),
                   "wildcard in a built topic: %s", qPrintable(topic));
    }

    BrokerCredentials credentials;
    if (parseCredentials(bytes, &credentials, &error)) {
        FUZZ_CHECK(!credentials.username.isEmpty(), "a login without a user name");
        FUZZ_CHECK(!credentials.username.contains(QLatin1Char('\n'))
                       && !credentials.password.contains(QLatin1Char('\n')),
                   "a line feed in a login");
    }
    return 0;
}

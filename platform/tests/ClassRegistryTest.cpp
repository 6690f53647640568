#include "platform/ClassRegistry.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>

namespace {

int g_calls = 0;
QObject *g_lastArgument = nullptr;

class Painter : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void SetProperties(QObject *target) {
        ++g_calls;
        g_lastArgument = target;
        if (target && target->objectName() == QLatin1String("boom"))
            throw Exception(QStringLiteral("kaputt"));
    }
};

} // namespace

TEST(ClassRegistry, CreatesRegisteredClassesAndCallsOperationsByName) {
    ClassRegistry::registerClass(QStringLiteral("Painter"), [] { return new Painter; });
    ASSERT_TRUE(ClassRegistry::isRegistered(QStringLiteral("Painter")));
    std::unique_ptr<QObject> p(ClassRegistry::create(QStringLiteral("Painter")));
    ASSERT_TRUE(p);
    QObject window;
    g_calls = 0;
    EXPECT_TRUE(ClassRegistry::invokeWithObject(p.get(), "SetProperties", &window));
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_lastArgument, &window);
    EXPECT_FALSE(ClassRegistry::invokeWithObject(p.get(), "NoSuchOperation", &window));
    ClassRegistry::unregisterClass(QStringLiteral("Painter"));
    EXPECT_EQ(ClassRegistry::create(QStringLiteral("Painter")), nullptr);
}

TEST(ClassRegistry, ExceptionsOfTheOperationReachTheCaller) {
    Painter p;
    QObject window;
    window.setObjectName(QStringLiteral("boom"));
    EXPECT_THROW(ClassRegistry::invokeWithObject(&p, "SetProperties", &window), Exception);
}

#include "ClassRegistryTest.moc"

#include "model/stored_date.h"
#include "model/value.h"

#include <QTest>

using namespace tardigo;

class TestValue : public QObject {
    Q_OBJECT
private slots:
    void numbersCompareAcrossKinds() {
        QVERIFY(Value::boolean(true) == Value::integer(1));
        QVERIFY(Value::integer(1) == Value::float32(1.0));
        QVERIFY(!(Value::integer(2) == Value::boolean(true)));
        QVERIFY(Value(Number::ofType('Q', 0, 18446744073709551613ULL, 0)) ==
                Value(Number::ofType('Q', 0, 18446744073709551613ULL, 0)));
        QVERIFY(!(Value(Number::ofType('Q', 0, 18446744073709551613ULL, 0)) ==
                  Value(Number::ofType('q', -3, 0, 0))));
        QVERIFY(!(Value("1") == Value::integer(1)));
    }
    void containersCompareDeeplyAndKeepIdentityOnCopy() {
        DictPtr a = Dict::create();
        a->set("name", "x");
        ArrayPtr kids = Array::create();
        kids->items.push_back(Value::integer(3));
        a->set("children", kids);
        DictPtr b = a->deepCopy();
        QVERIFY(Value(a) == Value(b));
        QVERIFY(b->value("children").asArray() != kids);
        kids->items.push_back(Value::integer(4));
        QVERIFY(!(Value(a) == Value(b)));
        Value shared = a;
        QCOMPARE(shared.asDict(), a);
    }
    void storedDatesKeepTheirOffset() {
        const auto t = parseStoredDate(QStringLiteral("2003-05-17 14:03:22 +0200"));
        QVERIFY(t);
        QCOMPARE(t->offsetFromUtc(), 7200);
        QCOMPARE(storedDateString(*t), QStringLiteral("2003-05-17 14:03:22 +0200"));
        QCOMPARE(storedDateString(t->toOffsetFromUtc(-5 * 3600 - 1800)),
                 QStringLiteral("2003-05-17 06:33:22 -0530"));
        QVERIFY(!parseStoredDate(QStringLiteral("2003-05-17 14:03:22")));
        QVERIFY(!parseStoredDate(QStringLiteral("2003-02-30 14:03:22 +0200")));
        QVERIFY(!parseStoredDate(QStringLiteral("2003-05-17T14:03:22 +0200")));
        QVERIFY(!parseStoredDate(Value::integer(3)));
    }
};

QTEST_GUILESS_MAIN(TestValue)
#include "tst_value.moc"

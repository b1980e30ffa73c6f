#include "core/Failure.h"

Failure Failure::typeMismatch(const QString& what)
{
    return {TypeMismatch, ConversionHelpBase + TypeMismatch, QStringLiteral("型が一致しません: ") + what};
}

Failure Failure::overflow(const QString& what)
{
    return {Overflow, ConversionHelpBase + Overflow, QStringLiteral("オーバーフローしました: ") + what};
}

Failure Failure::subscriptOutOfRange(const QString& what)
{
    return {SubscriptOutOfRange, ConversionHelpBase + SubscriptOutOfRange,
            QStringLiteral("インデックスが有効範囲にありません: ") + what};
}

Failure Failure::socket(int code, const QString& what)
{
    return {code, code, what};
}

// What the float edit boxes accept: conversion and text form of a number with a fixed count of
// decimals, and the key filter that refuses any keystroke making the text invalid or out of range.
#pragma once

#include <QChar>
#include <QString>

#include <optional>

namespace controls {

struct FloatKeyResult {
    enum Action { Accept, Refuse, Replace };
    Action action = Refuse;
    // For Replace: the new text and the part of it to select.
    QString text;
    int selStart = 0;
    int selLength = 0;
};

class FloatEditLogic {
public:
    static constexpr int kMaxDigits = 18;

    long double Min = 0;
    long double Max = 100;
    int Digits = 1;
    QChar DecimalChar = '.';

    // The number a text stands for: digits, one decimal separator, an exponent, a sign, blanks
    // around; nothing else (no group separators, no "inf" or "nan").
    std::optional<long double> convert(const QString& text) const;
    // Fixed-point with Digits decimals and DecimalChar, no group separators.
    QString format(long double value) const;
    // The value a text gives when read: "-", the separator alone, "" and "E" are 0; a text that
    // does not convert gives Min; the result is clamped to Min..Max.
    long double valueFromText(const QString& text) const;
    // A printable character k typed over text with the selection [selStart, selStart + selLength).
    FloatKeyResult filterKey(const QString& text, int selStart, int selLength, QChar k) const;
    // The number to keep when the box is left, or none when the text must be refused.
    std::optional<long double> exitValue(const QString& text) const;
};

}  // namespace controls

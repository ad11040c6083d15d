#pragma once

#include <QByteArray>

#include <cstdio>

// Test sentences: the body between '$' and '*' with its checksum worked out here, so a case
// can change a field and still reach the field checks.
inline QByteArray nmeaLine(QByteArray const& body, char start = '$')
{
    unsigned int sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum & 0xffu);
    QByteArray line(1, start);
    line += body;
    line += tail;
    return line;
}

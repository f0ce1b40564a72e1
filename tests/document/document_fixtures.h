#pragma once

#include "pravik/document/board_settings.h"
#include "pravik/document/screen_list.h"

#include <QByteArray>

// GBK bytes of the names that fill a fresh screen row.
inline const QByteArray kGbkRightUnfold("\xCF\xF2\xD3\xD2\xD5\xB9\xBF\xAA");  // 向右展开
inline const QByteArray kGbkPictureStays("\xBB\xAD\xC3\xE6\xCD\xA3\xC1\xF4"); // 画面停留
inline const QByteArray kGbkShowPicture("\xCF\xD4\xCA\xBE\xCD\xBC\xC6\xAC");  // 显示图片

inline pravik::document::BoardSettings serialBoard()
{
    pravik::document::BoardSettings s;
    s.port = 1;
    s.baud = 9600;
    s.setBusAddress(1);
    s.feedback = 1;
    s.scrtype = 1;
    s.scrwidth = 160;
    s.scrhigh = 32;
    return s;
}

inline pravik::document::BoardSettings ethernetBoard()
{
    pravik::document::BoardSettings s = serialBoard();
    s.port = 0;
    s.baud = 0; // an Ethernet file carries no baud rate
    s.ipAddress = QStringLiteral("192.168.0.200");
    s.ipOctets = {192, 168, 0, 200};
    s.ipPort = 1973;
    return s;
}

// A fresh list whose first `count` rows name a picture.
inline pravik::document::ScreenList listWithPictures(int count)
{
    pravik::document::ScreenList list;
    pravik::document::initScreenList(list);
    for (int r = 1; r <= count; ++r)
        list.setText(r, pravik::document::PictureColumn, QStringLiteral("C:\\pic\\%1.bmp").arg(r));
    return list;
}

// The nine lines of a record with the default texts, as saved.
inline QByteArray defaultRecord(int number, const QByteArray &picture)
{
    return QByteArray::number(number) + "\r\n\"" + picture + "\"\r\n\"" + kGbkRightUnfold +
           "\"\r\n\"1\"\r\n\"" + kGbkPictureStays + "\"\r\n\"1\"\r\n\"" + kGbkShowPicture +
           "\"\r\n\"" + kGbkRightUnfold + "\"\r\n\"1\"\r\n";
}

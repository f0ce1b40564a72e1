#pragma once

// A self-signed certificate for 127.0.0.1, made afresh for each test the way
// the README tells an operator to make one, so that no fixture ever expires:
// its key and certificate as PEM files.
#include "test_files.h"

inline bool writeTestCertificate(const QString &certificateFile, const QString &keyFile)
{
    return runProgram(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                       "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                       "subjectAltName=IP:127.0.0.1", "-keyout", keyFile, "-out",
                       certificateFile})
               .status == 0;
}

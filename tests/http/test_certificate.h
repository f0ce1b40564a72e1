#pragma once

// A self-signed certificate for 127.0.0.1, made afresh for each test, so that
// no fixture ever expires: its key and certificate as PEM files.
#include <QString>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>

inline bool writeTestCertificate(const QString &certificateFile, const QString &keyFile)
{
    EVP_PKEY *key = EVP_EC_gen("P-256");
    X509 *certificate = X509_new();
    X509_set_version(certificate, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
    X509_set_pubkey(certificate, key);
    X509_NAME *name = X509_get_subject_name(certificate);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(certificate, name);
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    for (const auto &[nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                                     std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
        X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
        X509_add_ext(certificate, extension, -1);
        X509_EXTENSION_free(extension);
    }
    bool written = X509_sign(certificate, key, EVP_sha256()) > 0;
    FILE *out = std::fopen(certificateFile.toLocal8Bit().constData(), "w");
    written = written && out && PEM_write_X509(out, certificate) == 1;
    if (out)
        std::fclose(out);
    out = std::fopen(keyFile.toLocal8Bit().constData(), "w");
    written = written && out &&
              PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    if (out)
        std::fclose(out);
    X509_free(certificate);
    EVP_PKEY_free(key);
    return written;
}

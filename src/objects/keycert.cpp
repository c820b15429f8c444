#include "objects/keycert.h"

#include "objects/namesyntax.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace {
const QString kBeginKey = "-----BEGIN PGP PUBLIC KEY BLOCK-----";
const QString kEndKey = "-----END PGP PUBLIC KEY BLOCK-----";

uint32_t Crc24(const QByteArray& data) {
    uint32_t crc = 0xB704CE;
    for (char byte : data) {
        crc ^= uint32_t(uint8_t(byte)) << 16;
        for (int i = 0; i < 8; ++i) {
            crc <<= 1;
            if (crc & 0x1000000) crc ^= 0x1864CFB;
        }
    }
    return crc & 0xFFFFFF;
}

struct Packet {
    int tag = 0;
    QByteArray body;
};

// The packets of `data`, or an empty list with `why` set when it is not a packet sequence.
std::vector<Packet> Packets(const QByteArray& data, QString* why) {
    std::vector<Packet> packets;
    qsizetype at = 0;
    const qsizetype n = data.size();
    auto byte = [&](qsizetype i) { return uint32_t(uint8_t(data[i])); };
    while (at < n) {
        const uint32_t header = byte(at++);
        if (!(header & 0x80)) {
            *why = "no OpenPGP packet at byte " + QString::number(at - 1);
            return {};
        }
        Packet packet;
        qsizetype length = -1;
        if (header & 0x40) {
            packet.tag = int(header & 0x3F);
            if (at >= n) break;
            const uint32_t first = byte(at++);
            if (first < 192) {
                length = first;
            } else if (first < 224) {
                if (at >= n) break;
                length = ((first - 192) << 8) + byte(at++) + 192;
            } else if (first == 255) {
                if (at + 4 > n) break;
                length =
                    (byte(at) << 24) | (byte(at + 1) << 16) | (byte(at + 2) << 8) | byte(at + 3);
                at += 4;
            } else {
                *why = "a partial packet length, which keys never use";
                return {};
            }
        } else {
            packet.tag = int((header >> 2) & 0x0F);
            const int type = int(header & 3);
            const int size = type == 0 ? 1 : type == 1 ? 2 : type == 2 ? 4 : 0;
            if (size == 0) {
                length = n - at;
            } else {
                if (at + size > n) break;
                length = 0;
                for (int i = 0; i < size; ++i)
                    length = (length << 8) | byte(at + i);
                at += size;
            }
        }
        if (length < 0 || at + length > n) {
            *why = "a packet longer than the data";
            return {};
        }
        packet.body = data.mid(at, length);
        at += length;
        packets.push_back(std::move(packet));
    }
    if (at < n || packets.empty()) {
        *why = "the data ends inside a packet";
        return {};
    }
    return packets;
}

// The fingerprint and key id of a public key packet's body.
bool Identify(const QByteArray& body, ArmouredKey& key) {
    if (body.size() < 6) return false;
    const int version = uint8_t(body[0]);
    QByteArray digest;
    if (version == 4) {
        QByteArray input("\x99");
        input += char((body.size() >> 8) & 0xFF);
        input += char(body.size() & 0xFF);
        digest = QCryptographicHash::hash(input + body, QCryptographicHash::Sha1);
        key.keyId = digest.right(8).toHex().toUpper();
    } else if (version == 5 || version == 6) {
        QByteArray input(1, char(version == 5 ? 0x9A : 0x9B));
        for (int shift = 24; shift >= 0; shift -= 8)
            input += char((body.size() >> shift) & 0xFF);
        digest = QCryptographicHash::hash(input + body, QCryptographicHash::Sha256);
        key.keyId = digest.left(8).toHex().toUpper();
    } else if (version == 3 || version == 2) {
        // A version 3 RSA key: its id is the modulus's low 64 bits.
        if (body.size() < 10) return false;
        const int bits = (uint8_t(body[8]) << 8) | uint8_t(body[9]);
        const qsizetype bytes = (bits + 7) / 8;
        if (body.size() < 10 + bytes || bytes < 8) return false;
        digest = QCryptographicHash::hash(body.mid(10, bytes), QCryptographicHash::Md5);
        key.keyId = body.mid(10 + bytes - 8, 8).toHex().toUpper();
    } else {
        return false;
    }
    key.fingerprint = digest.toHex().toUpper();
    return true;
}
} // namespace

ArmouredKey ReadArmouredKey(const QStringList& lines) {
    ArmouredKey key;
    const qsizetype begin = lines.indexOf(kBeginKey);
    const qsizetype end = lines.indexOf(kEndKey);
    if (begin < 0 || end < begin) {
        key.why = "no " + kBeginKey + " ... " + kEndKey + " armour";
        return key;
    }
    // Header lines ("Version: ...") up to the armour's empty line, then the data and its CRC.
    qsizetype at = begin + 1;
    while (at < end && lines[at].contains(": ") && !lines[at].trimmed().isEmpty())
        ++at;
    QByteArray base64;
    QByteArray crc;
    for (; at < end; ++at) {
        const QString line = lines[at].trimmed();
        if (line.isEmpty()) continue;
        if (line.startsWith('=')) {
            crc = line.mid(1).toLatin1();
            continue;
        }
        base64 += line.toLatin1();
    }
    if (base64.isEmpty()) {
        key.state = ArmouredKey::NoKey;
        return key;
    }
    const auto decoded =
        QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        key.why = "the armour is no base64";
        return key;
    }
    if (!crc.isEmpty()) {
        const QByteArray sum = QByteArray::fromBase64(crc);
        const uint32_t given = sum.size() == 3
                                   ? (uint32_t(uint8_t(sum[0])) << 16) |
                                         (uint32_t(uint8_t(sum[1])) << 8) | uint8_t(sum[2])
                                   : 0xFFFFFFFF;
        if (given != Crc24(*decoded)) {
            key.why = "the armour's checksum does not fit its data";
            return key;
        }
    }
    const std::vector<Packet> packets = Packets(*decoded, &key.why);
    if (packets.empty()) return key;
    int primaries = 0;
    for (const Packet& packet : packets)
        if (packet.tag == 6) ++primaries;
    if (primaries != 1 || packets.front().tag != 6) {
        key.why = primaries == 0 ? "no public key packet" : "more than one key";
        return key;
    }
    if (!Identify(packets.front().body, key)) {
        key.why = "a public key packet of an unknown version";
        return key;
    }
    key.state = ArmouredKey::Key;
    return key;
}

bool IsCertificateArmour(const QStringList& lines) {
    return lines.contains("-----BEGIN CERTIFICATE-----") &&
           lines.contains("-----END CERTIFICATE-----");
}

QStringList CertifLines(const RpslObject& object) {
    QStringList lines;
    for (const RpslAttribute* a : object.All("certif"))
        for (const QString& line : a->Lines())
            lines << line.trimmed();
    return lines;
}

std::vector<RpslAttribute> CertifAttributes(const QString& armour) {
    std::vector<RpslAttribute> attributes;
    QStringList lines = armour.split(QRegularExpression("\r\n|\n"));
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    for (const QString& line : lines)
        attributes.push_back(RpslAttribute{"certif", line.trimmed(), 0, false});
    return attributes;
}

void CheckKeyCertObject(const RpslObject& object, const RuleTable& rules, ValueFindings& out,
                        QString& attribute) {
    const QStringList lines = CertifLines(object);
    if (lines.isEmpty()) return; // the missing attribute is told already
    const QString name = object.ClassValue();
    attribute = "certif";
    if (IsCertificateArmour(lines)) {
        if (name.startsWith("PGPKEY-", Qt::CaseInsensitive))
            out.push_back(RuleError("key-name", {"value", name, "expected", "X509-n or AUTO-n"}));
        return;
    }
    const ArmouredKey key = ReadArmouredKey(lines);
    if (IsAutoHandle(name)) out.push_back(RuleError("auto-x509", {}));
    if (key.state == ArmouredKey::NoKey) {
        out.push_back(RuleError("no-key", {}));
    } else if (key.state == ArmouredKey::Corrupt) {
        out.push_back(
            RuleError(rules.Checks("key-corrupt") ? "key-corrupt" : "no-key", {"why", key.why}));
    } else {
        if (!IsAutoHandle(name) && name.compare(key.KeyCertName(), Qt::CaseInsensitive) != 0)
            out.push_back(RuleError("key-name", {"value", name, "expected", key.KeyCertName()}));
        QString given = object.First("fingerpr");
        given.remove(' ');
        if (!given.isEmpty() && given.compare(key.fingerprint, Qt::CaseInsensitive) != 0)
            out.push_back(Warning("fingerpr: the key's fingerprint is " + key.fingerprint +
                                  "; the registry writes that one"));
    }
}

void CheckCertif(const QString&, const ValueContext&, ValueFindings&) {
    // The certif: lines are read together, as one key (CheckKeyCertObject).
}

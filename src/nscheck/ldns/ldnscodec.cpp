// The DNS module: DNS messages through ldns.
#include "nscheck/dnsbackend.h"
#include "platform/module.h"

#include <cstdlib>
#include <ldns/ldns.h>

namespace {
QString Text(const ldns_rdf* rdf) {
    if (!rdf) return QString();
    char* text = ldns_rdf2str(rdf);
    QString result = QString::fromUtf8(text ? text : "").toLower();
    std::free(text);
    if (result.endsWith('.') && result.size() > 1) result.chop(1);
    return result;
}

class LdnsCodec : public DnsCodec {
public:
    QByteArray Query(const QString& name, int type, quint16 id, DnsQueryForm form,
                     QString& problem) override {
        ldns_rdf* owner = ldns_dname_new_frm_str(name.toLatin1().constData());
        if (!owner) {
            problem = "not a domain name";
            return QByteArray();
        }
        ldns_pkt* packet = ldns_pkt_query_new(owner, ldns_rr_type(type), LDNS_RR_CLASS_IN,
                                              form.recursive ? LDNS_RD : 0);
        if (!packet) {
            problem = "no query could be made";
            return QByteArray();
        }
        ldns_pkt_set_id(packet, id);
        if (form.edns) {
            ldns_pkt_set_edns_udp_size(packet, dns::kEdnsUdpSize);
            ldns_pkt_set_edns_do(packet, false);
        }
        uint8_t* wire = nullptr;
        size_t size = 0;
        const ldns_status status = ldns_pkt2wire(&wire, packet, &size);
        ldns_pkt_free(packet);
        if (status != LDNS_STATUS_OK) {
            problem = QString::fromUtf8(ldns_get_errorstr_by_id(status));
            std::free(wire);
            return QByteArray();
        }
        QByteArray bytes(reinterpret_cast<const char*>(wire), qsizetype(size));
        std::free(wire);
        return bytes;
    }

    DnsMessage Read(const QByteArray& wire) override {
        DnsMessage message;
        ldns_pkt* packet = nullptr;
        const ldns_status status = ldns_wire2pkt(
            &packet, reinterpret_cast<const uint8_t*>(wire.constData()), size_t(wire.size()));
        if (status != LDNS_STATUS_OK || !packet) {
            message.problem = QString::fromUtf8(ldns_get_errorstr_by_id(status));
            return message;
        }
        message.parsed = true;
        message.id = ldns_pkt_id(packet);
        message.aa = ldns_pkt_aa(packet);
        message.tc = ldns_pkt_tc(packet);
        message.qr = ldns_pkt_qr(packet);
        message.rd = ldns_pkt_rd(packet);
        message.ra = ldns_pkt_ra(packet);
        message.rcode = ldns_pkt_get_rcode(packet);
        message.hasOpt = ldns_pkt_edns(packet);
        const ldns_rr_list* question = ldns_pkt_question(packet);
        message.questions = question ? int(ldns_rr_list_rr_count(question)) : 0;
        if (message.questions > 0) {
            const ldns_rr* q = ldns_rr_list_rr(question, 0);
            message.questionName = Text(ldns_rr_owner(q));
            message.questionType = ldns_rr_get_type(q);
        }
        const ldns_rr_list* answer = ldns_pkt_answer(packet);
        for (size_t i = 0; answer && i < ldns_rr_list_rr_count(answer); ++i) {
            const ldns_rr* rr = ldns_rr_list_rr(answer, i);
            DnsRecord record;
            record.owner = Text(ldns_rr_owner(rr));
            record.type = ldns_rr_get_type(rr);
            switch (record.type) {
            case dns::SOA:
                if (ldns_rr_rd_count(rr) >= 3) {
                    record.data = Text(ldns_rr_rdf(rr, 0));
                    record.serial = ldns_rdf2native_int32(ldns_rr_rdf(rr, 2));
                }
                break;
            case dns::NS:
            case dns::CNAME:
            case dns::A:
            case dns::AAAA:
                if (ldns_rr_rd_count(rr) >= 1) record.data = Text(ldns_rr_rdf(rr, 0));
                break;
            default:
                continue;
            }
            message.answer.push_back(record);
        }
        ldns_pkt_free(packet);
        return message;
    }

    QString RcodeName(int rcode) override {
        const ldns_lookup_table* entry = ldns_lookup_by_id(ldns_rcodes, rcode);
        return entry && entry->name ? QString::fromLatin1(entry->name) : QString::number(rcode);
    }
};
} // namespace

REGISCRIBE_MODULE_ENTRY(DnsCodec, regiscribe_dns) {
    static LdnsCodec codec;
    return &codec;
}

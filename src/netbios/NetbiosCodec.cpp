#include "netbios/NetbiosCodec.h"

#include <QStringEncoder>

namespace netbios {

namespace {

constexpr std::uint16_t ClassIn = 0x0001;
constexpr std::uint16_t ResponseBit = 0x8000;
constexpr std::uint16_t RecursionDesired = 0x0100;
constexpr std::uint16_t BroadcastBit = 0x0010;
constexpr int HeaderLength = 12;
// Length byte, 32 letters of first-level encoding, the empty root label.
constexpr int EncodedNameLength = 1 + 2 * NameLength + 1;
constexpr int NodeNameEntryLength = 18;
constexpr int AddressEntryLength = 6;
constexpr int MaxLabelLength = 63;

// Code page 932 as registered with ICU; Qt reports it as "Shift_JIS" but maps
// it the Windows way (0x5C stays a backslash, the IBM extensions are there).
constexpr char JapaneseCodePage[] = "windows-31j";

void appendUint16(QByteArray& out, std::uint16_t value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}

// First-level encoding: every byte becomes two letters 'A' + nibble, high first.
void appendEncodedName(QByteArray& out, const QByteArray& name)
{
    out.append(char(2 * NameLength));
    for (int i = 0; i < NameLength; ++i) {
        const auto byte = std::uint8_t(i < name.size() ? name[i] : ' ');
        out.append(char('A' + (byte >> 4)));
        out.append(char('A' + (byte & 0x0F)));
    }
    out.append('\0');
}

QByteArray buildRequest(std::uint16_t transactionId, std::uint16_t flags, const QByteArray& name, std::uint16_t type)
{
    QByteArray out;
    out.reserve(HeaderLength + EncodedNameLength + 4);
    appendUint16(out, transactionId);
    appendUint16(out, flags);
    appendUint16(out, 1); // one question
    appendUint16(out, 0);
    appendUint16(out, 0);
    appendUint16(out, 0);
    appendEncodedName(out, name);
    appendUint16(out, type);
    appendUint16(out, ClassIn);
    return out;
}

// Reads a datagram front to back; every read checks the bytes are there.
class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    qsizetype remaining() const { return m_data.size() - m_pos; }

    bool byte(std::uint8_t& value)
    {
        if (remaining() < 1)
            return false;
        value = std::uint8_t(m_data[m_pos++]);
        return true;
    }

    bool uint16(std::uint16_t& value)
    {
        std::uint8_t high = 0;
        std::uint8_t low = 0;
        if (remaining() < 2 || !byte(high) || !byte(low))
            return false;
        value = std::uint16_t(high << 8 | low);
        return true;
    }

    bool bytes(qsizetype count, QByteArrayView& view)
    {
        if (count < 0 || remaining() < count)
            return false;
        view = m_data.sliced(m_pos, count);
        m_pos += count;
        return true;
    }

    bool skip(qsizetype count)
    {
        QByteArrayView ignored;
        return bytes(count, ignored);
    }

    // A domain-style name: labels up to the empty one, or ending in a
    // compression pointer, which is skipped, not followed. The first label
    // comes back in `first` (empty when the name starts with a pointer).
    bool name(QByteArrayView& first)
    {
        first = {};
        bool atFirst = true;
        for (;;) {
            std::uint8_t length = 0;
            if (!byte(length))
                return false;
            if ((length & 0xC0) == 0xC0)
                return skip(1);
            if (length > MaxLabelLength)
                return false;
            if (length == 0)
                return true;
            QByteArrayView label;
            if (!bytes(length, label))
                return false;
            if (atFirst)
                first = label;
            atFirst = false;
        }
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

struct Answer {
    QByteArrayView firstLabel;
    QByteArrayView data;
};

// The checks both replies share: this transaction, a response to a query with
// no error, questions (if any) skipped, and the first answer of `type` whose
// data lies wholly inside the datagram.
std::optional<Answer> firstAnswer(QByteArrayView datagram, std::uint16_t transactionId, std::uint16_t type)
{
    Reader reader(datagram);
    std::uint16_t id = 0, flags = 0, questions = 0, answers = 0, authorities = 0, additionals = 0;
    if (!reader.uint16(id) || !reader.uint16(flags) || !reader.uint16(questions) || !reader.uint16(answers) ||
        !reader.uint16(authorities) || !reader.uint16(additionals))
        return std::nullopt;
    const int opcode = (flags >> 11) & 0x0F;
    const int rcode = flags & 0x0F;
    if (id != transactionId || !(flags & ResponseBit) || opcode != 0 || rcode != 0 || answers == 0)
        return std::nullopt;

    QByteArrayView label;
    for (int i = 0; i < questions; ++i) {
        if (!reader.name(label) || !reader.skip(4))
            return std::nullopt;
    }

    Answer answer;
    std::uint16_t answerType = 0, answerClass = 0, dataLength = 0;
    if (!reader.name(answer.firstLabel) || !reader.uint16(answerType) || !reader.uint16(answerClass) ||
        !reader.skip(4) || !reader.uint16(dataLength) || !reader.bytes(dataLength, answer.data))
        return std::nullopt;
    if (answerType != type)
        return std::nullopt;
    return answer;
}

QByteArray encodedLabel(const QByteArray& name)
{
    QByteArray out;
    appendEncodedName(out, name);
    return out.mid(1, 2 * NameLength);
}

} // namespace

QByteArray nameBytes(QStringView name, LetterCase letterCase)
{
    QStringView shown = name.left(NameLength);
    // Never leave half of a surrogate pair at the cut.
    if (!shown.isEmpty() && shown.back().isHighSurrogate() && name.size() > shown.size())
        shown.chop(1);

    QByteArray out;
    out.reserve(NameLength);
    qsizetype i = 0;
    while (i < shown.size()) {
        const qsizetype width =
            shown[i].isHighSurrogate() && i + 1 < shown.size() && shown[i + 1].isLowSurrogate() ? 2 : 1;
        const QStringView character = shown.sliced(i, width);
        i += width;

        QByteArray encoded;
        const char16_t unit = character[0].unicode();
        if (unit < 0x80) {
            encoded = QByteArray(
                1, char(letterCase == LetterCase::Upper && unit >= u'a' && unit <= u'z' ? unit - u'a' + u'A' : unit));
        } else {
            // A fresh encoder each time: its error flag is sticky.
            QStringEncoder encoder(JapaneseCodePage);
            if (encoder.isValid())
                encoded = encoder.encode(character);
            if (!encoder.isValid() || encoder.hasError() || encoded.isEmpty())
                encoded = QByteArrayLiteral("?");
        }
        // A double-byte character that would not fit whole is left out.
        if (out.size() + encoded.size() > NameLength)
            break;
        out.append(encoded);
    }
    out.append(QByteArray(NameLength - out.size(), ' '));
    return out;
}

QByteArray wildcardName()
{
    QByteArray name(NameLength, '\0');
    name[0] = '*';
    return name;
}

QByteArray buildNodeStatusRequest(std::uint16_t transactionId, const QByteArray& name)
{
    return buildRequest(transactionId, 0, name, TypeNodeStatus);
}

QByteArray buildNameQueryRequest(std::uint16_t transactionId, const QByteArray& name, bool broadcast)
{
    return buildRequest(transactionId, RecursionDesired | (broadcast ? BroadcastBit : 0), name, TypeNb);
}

std::optional<MacBytes> parseNodeStatusReply(QByteArrayView datagram, std::uint16_t transactionId)
{
    const std::optional<Answer> answer = firstAnswer(datagram, transactionId, TypeNodeStatus);
    if (!answer)
        return std::nullopt;
    // One byte of name count, the names, then the statistics, which begin
    // with the unit's hardware address.
    Reader data(answer->data);
    std::uint8_t names = 0;
    QByteArrayView address;
    if (!data.byte(names) || !data.skip(qsizetype(names) * NodeNameEntryLength) ||
        !data.bytes(qsizetype(MacBytes().size()), address))
        return std::nullopt;
    MacBytes mac{};
    for (std::size_t i = 0; i < mac.size(); ++i)
        mac[i] = std::uint8_t(address[qsizetype(i)]);
    return mac;
}

std::optional<std::uint32_t> parseNameQueryReply(QByteArrayView datagram, std::uint16_t transactionId,
                                                 const QByteArray& name)
{
    const std::optional<Answer> answer = firstAnswer(datagram, transactionId, TypeNb);
    // Anyone on the subnet may answer a broadcast: it must be about our name.
    if (!answer || answer->firstLabel != QByteArrayView(encodedLabel(name)))
        return std::nullopt;
    Reader data(answer->data);
    while (data.remaining() >= AddressEntryLength) {
        std::uint16_t flags = 0, high = 0, low = 0;
        data.uint16(flags);
        data.uint16(high);
        data.uint16(low);
        const std::uint32_t address = std::uint32_t(high) << 16 | low;
        if (address != 0 && address != 0xFFFFFFFFu)
            return address;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseIpv4Text(QStringView text)
{
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    std::uint32_t address = 0;
    int parts = 0;
    qsizetype i = 0;
    while (parts < 4) {
        if (parts > 0) {
            if (i >= text.size() || text[i] != u'.')
                return std::nullopt;
            ++i;
        }
        const qsizetype start = i;
        unsigned value = 0;
        while (i < text.size() && i - start < 3 && text[i] >= u'0' && text[i] <= u'9')
            value = value * 10 + unsigned(text[i++].unicode() - u'0');
        const qsizetype digits = i - start;
        // Leading zeros are refused: some readers take them as octal.
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == u'0'))
            return std::nullopt;
        address = address << 8 | value;
        ++parts;
    }
    if (i != text.size())
        return std::nullopt;
    return address;
}

} // namespace netbios

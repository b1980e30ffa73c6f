<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CliText</name>
    <message>
        <location filename="../CliCommand.cpp" line="10"/>
        <source>Show this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="11"/>
        <source>Show the version.</source>
        <translation>バージョンを表示します。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="12"/>
        <source>Read this address book instead of the window&apos;s.</source>
        <translation>ウィンドウのものではなく、このアドレス帳を読み込みます。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="13"/>
        <source>list: print a JSON array of objects.</source>
        <translation>list: オブジェクトの JSON 配列で出力します。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="14"/>
        <source>list: print the names alone, one a line.</source>
        <translation>list: 名前だけを 1 行に 1 つずつ出力します。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="15"/>
        <source>wake: send to this host instead of each computer&apos;s own.</source>
        <translation>wake: 送信先ホストをすべてこのホストに置き換えます。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="16"/>
        <source>wake: the UDP port (default: tarnel.ini&apos;s, else 9001).</source>
        <translation>wake: UDP ポート番号（既定: tarnel.ini の値か 9001）。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="17"/>
        <source>wake: send each packet this many times (1-%1).</source>
        <translation>wake: 各パケットをこの回数ずつ送信します（1～%1）。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="19"/>
        <source>wake: then wait up to this long for each computer to answer.</source>
        <translation>wake: さらに各コンピュータの応答を最大この秒数待ちます。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="21"/>
        <source>wake --wait: ask this TCP port instead of sending a ping.</source>
        <translation>wake --wait: ping でなくこの TCP ポートへ接続します。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="33"/>
        <source>Wakes the computers of Tarnel&apos;s address book from the command line.

Commands:
  list [--json | --names]      the computers of the address book
  wake TARGET...               wake computers: a name from the book or a MAC address
  getmac HOST                  the MAC address of a computer on the network

Exit status: 0 done, 1 a send or lookup failed, 2 usage, 3 --wait ran out.</source>
        <translation>Tarnel のアドレス帳のコンピュータをコマンドラインから起動します。

コマンド:
  list [--json | --names]      アドレス帳のコンピュータの一覧
  wake TARGET...               名前か MACアドレスで指定したコンピュータを起動
  getmac HOST                  ネットワーク上のコンピュータの MACアドレスを取得

終了ステータス: 0 完了、1 送信・取得の失敗、2 使い方の誤り、3 --wait の時間切れ</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="41"/>
        <source>list, wake or getmac</source>
        <translation>list、wake、getmac のいずれか</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="55"/>
        <source>--%1 must be a whole number from %2 to %3, not &quot;%4&quot;.</source>
        <translation>--%1 には %2 から %3 までの整数を指定してください（「%4」は使えません）。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="86"/>
        <source>Say what to do: list, wake or getmac.</source>
        <translation>コマンドを指定してください: list、wake、getmac のいずれか。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="108"/>
        <source>list takes no arguments.</source>
        <translation>list は引数を取りません。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="112"/>
        <source>Give --json or --names, not both.</source>
        <translation>--json と --names は同時に指定できません。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="116"/>
        <source>wake needs at least one name or MAC address.</source>
        <translation>wake には名前または MACアドレスを 1 つ以上指定してください。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="118"/>
        <source>--probe-port goes with --wait.</source>
        <translation>--probe-port は --wait と一緒に指定してください。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="122"/>
        <source>getmac takes one computer: an IPv4 address, a name, or * for this one.</source>
        <translation>getmac にはコンピュータを 1 つ指定してください: IPv4 アドレス、名前、または自分の場合は *。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="126"/>
        <source>Unknown command &quot;%1&quot;: use list, wake or getmac.</source>
        <translation>「%1」というコマンドはありません。list、wake、getmac のいずれかを使ってください。</translation>
    </message>
    <message>
        <location filename="../CliCommand.cpp" line="132"/>
        <source>%1 cannot be used with %2.</source>
        <translation>%1 は %2 と一緒に使えません。</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="50"/>
        <source>warning: %1 was not read whole: %2</source>
        <translation>警告: %1 の一部を読み込めませんでした: %2</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="125"/>
        <source>%1 is up after %2 s</source>
        <translation>%1 が %2 秒で起動しました</translation>
    </message>
    <message numerus="yes">
        <location filename="../CliRun.cpp" line="129"/>
        <source>waiting for %n computer(s): %1 s</source>
        <translation>
            <numerusform>%n 台のコンピュータの起動を待っています: %1 秒</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="139"/>
        <source>%1 did not answer within %2 s</source>
        <translation>%1 は %2 秒以内に応答しませんでした</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="164"/>
        <source>This user may not send pings (see net.ipv4.ping_group_range); give --probe-port with a TCP port the computers listen on.</source>
        <translation>このユーザーは ping を送信できません（net.ipv4.ping_group_range を参照）。コンピュータが待ち受けている TCP ポートを --probe-port で指定してください。</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="173"/>
        <source>%1 cannot be waited for: its host &quot;%2&quot; is no single computer&apos;s address; give --host.</source>
        <translation>%1 の起動は待てません: 送信先ホスト「%2」は 1 台のコンピュータのアドレスではありません。--host を指定してください。</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="199"/>
        <source>woke %1 (%2) via %3:%4</source>
        <translation>%1 (%2) に Magic Packet を送信しました: %3:%4</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="202"/>
        <source>could not wake %1: error %2: %3</source>
        <translation>%1 を起動できませんでした: エラー %2: %3</translation>
    </message>
    <message>
        <location filename="../CliRun.cpp" line="219"/>
        <source>no MAC address found for %1</source>
        <translation>%1 の MACアドレスを取得できませんでした</translation>
    </message>
    <message>
        <location filename="../WakeTargets.cpp" line="26"/>
        <source>&quot;%1&quot; names more than one computer of the address book.</source>
        <translation>「%1」に当てはまるコンピュータがアドレス帳に複数あります。</translation>
    </message>
    <message>
        <location filename="../WakeTargets.cpp" line="32"/>
        <source>&quot;%1&quot; is neither a computer of the address book nor a MAC address.</source>
        <translation>「%1」はアドレス帳のコンピュータでも MACアドレスでもありません。</translation>
    </message>
    <message>
        <location filename="../main.cpp" line="23"/>
        <source>Try &quot;tarnel-cli --help&quot;.</source>
        <translation>使い方は「tarnel-cli --help」で表示できます。</translation>
    </message>
</context>
</TS>

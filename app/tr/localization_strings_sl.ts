<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="sl_SI">
<context>
    <name>MainWindow</name>
    <message>
        <source>Clear &amp;&amp; Gen</source>
        <translation>Počisti in ponvno generiraj</translation>
    </message>
    <message>
        <source>Cone</source>
        <translation>Stožci</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Način</translation>
    </message>
    <message>
        <source>Nacin</source>
        <translation>Način</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Vredu</translation>
    </message>
    <message>
        <source>Prikaz žagic</source>
        <translation>Prikaz žagic</translation>
    </message>
    <message>
        <source>Tropism:</source>
        <translation>Tropizem:</translation>
    </message>
    <message>
        <source>smooth</source>
        <translation>Mehko</translation>
    </message>
</context>
</TS>

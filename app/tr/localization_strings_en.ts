<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;O...</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>&amp;Izvedi iteracijo rasti</source>
        <translation>&amp;Growth iteration</translation>
    </message>
    <message>
        <source>&amp;Znova rasti</source>
        <translation>&amp;Grow again</translation>
    </message>
    <message>
        <source>&amp;Shrani pogled</source>
        <translation>Store view</translation>
    </message>
    <message>
        <source>&amp;Nalozi pogled</source>
        <translation>&amp;Recall stored view</translation>
    </message>
    <message>
        <source>&amp;Prikaz metra</source>
        <translation>Display the ruler</translation>
    </message>
    <message>
        <source>Prikaz &amp;od zacetka sezone</source>
        <translation>&amp;Show the tree before arrangement</translation>
    </message>
    <message>
        <source>&amp;Meči senco na drevo</source>
        <translation>&amp;Show shadows</translation>
    </message>
    <message>
        <source>&amp;Pomoč...</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>&amp;Parametri</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Premikanje</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Filtriranje</source>
        <translation>Filtering</translation>
    </message>
    <message>
        <source>Prikaz informacij</source>
        <translation>Information display</translation>
    </message>
    <message>
        <source>Merjenje dolžine</source>
        <translation>Length measurement</translation>
    </message>
    <message>
        <source>Merjenje kotov</source>
        <translation>Angle measurement</translation>
    </message>
    <message>
        <source>Sajenje dreves</source>
        <translation>Plantation</translation>
    </message>
    <message>
        <source>Privezovanje</source>
        <translation>Tying</translation>
    </message>
    <message>
        <source>Raztezanje</source>
        <translation>Spreading</translation>
    </message>
    <message>
        <source>Utezi</source>
        <translation>Weighting</translation>
    </message>
    <message>
        <source>Rezanje</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Lokacija kamere</source>
        <translation>Camera location</translation>
    </message>
    <message>
        <source>Rotacija kamere</source>
        <translation>Camera rotation</translation>
    </message>
    <message>
        <source>Zoom kamere</source>
        <translation>Camera zoom</translation>
    </message>
    <message>
        <source>Rotacija objekta</source>
        <translation>Object rotation</translation>
    </message>
    <message>
        <source>Pogled</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Prikaz informacij:</source>
        <translation>Information display:</translation>
    </message>
    <message>
        <source>Normalizirani vhodni viri iz okolja</source>
        <translation>Normalized input resources</translation>
    </message>
    <message>
        <source>Vhodni viri iz okolja</source>
        <translation>Input resources</translation>
    </message>
    <message>
        <source>Vhodni viri popkov iz okolja</source>
        <translation>But input resources</translation>
    </message>
    <message>
        <source>Dobljeni viri iz baze norm</source>
        <translation>Normalized allocated resources</translation>
    </message>
    <message>
        <source>Dobljeni viri iz base</source>
        <translation>Allocated resrouces</translation>
    </message>
    <message>
        <source>Informacije</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Prikazi BBOX</source>
        <translation>Display BBOX</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;alfa za Q=f(x);&lt;br/&gt;x je starost drevesa&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;alpha for Q=f(x);&lt;br/&gt;x is age of tree&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Prikaz okolja</source>
        <translation>Display environment</translation>
    </message>
    <message>
        <source>Prikaz alfa</source>
        <translation>Alpha factor</translation>
    </message>
    <message>
        <source>Tip okolja:</source>
        <translation>Type of environment:</translation>
    </message>
    <message>
        <source>Svetloba</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Prostor</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Cone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Okolje</source>
        <translation>Environment</translation>
    </message>
    <message>
        <source>Samodejno rezanje</source>
        <translation>Auto pruning</translation>
    </message>
    <message>
        <source>Prag:</source>
        <translation>Threshold:</translation>
    </message>
    <message>
        <source>Rast:</source>
        <translation>Growth:</translation>
    </message>
    <message>
        <source>Debeline N1:</source>
        <translation>Thickness for one child:</translation>
    </message>
    <message>
        <source>Debeline N2:</source>
        <translation>Thickness for two childs:</translation>
    </message>
    <message>
        <source>Sezon:</source>
        <translation>Seasons:</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Generiraj</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>Rast</source>
        <translation>Growth</translation>
    </message>
    <message>
        <source>Prikaz žagic</source>
        <translation>Show saws</translation>
    </message>
    <message>
        <source>Takojšnje rezanje</source>
        <translation>Imediate pruning</translation>
    </message>
    <message>
        <source>Obreži izbrano</source>
        <translation>Prune selected</translation>
    </message>
    <message>
        <source>utez optimal</source>
        <translation>Optimal weigth</translation>
    </message>
    <message>
        <source>energija</source>
        <translation>Energy</translation>
    </message>
    <message>
        <source>orientacija konec</source>
        <translation>end orientation</translation>
    </message>
    <message>
        <source>Prekliči</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Upogibanje vej</source>
        <translation>Bending</translation>
    </message>
    <message>
        <source>Urejanje drevesa</source>
        <translation>Tree edit</translation>
    </message>
    <message>
        <source>Viri</source>
        <translation>Resources</translation>
    </message>
    <message>
        <source>Model alokacije virov:</source>
        <translation>Growth allocation model:</translation>
    </message>
    <message>
        <source>Brez</source>
        <translation>W/O</translation>
    </message>
    <message>
        <source>Prioritetni</source>
        <translation>Priority</translation>
    </message>
    <message>
        <source>Apical control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tip</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Proleptično</source>
        <translation>Proleptic</translation>
    </message>
    <message>
        <source>Sileptično</source>
        <translation>Syleptic</translation>
    </message>
    <message>
        <source>Prikaz namigov</source>
        <translation>Display tips</translation>
    </message>
    <message>
        <source>Velikost žagic</source>
        <translation>Size of saws</translation>
    </message>
    <message>
        <source>Datote&amp;ka</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Uredi</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>Po&amp;gled</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>Po&amp;moč</source>
        <translation>&amp;Help</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>QObject</name>
    <message numerus="yes">
        <source>%n field(s) differ</source>
        <translation>
            <numerusform>%n field differs</numerusform>
            <numerusform>%n fields differ</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Registers</source>
        <translation>
            <numerusform>%n Register</numerusform>
            <numerusform>%n Registers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replace %n registers?</source>
        <translation>
            <numerusform>Replace %n register?</numerusform>
            <numerusform>Replace %n registers?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replace %Ln registers</source>
        <translation>
            <numerusform>Replace %Ln register</numerusform>
            <numerusform>Replace %Ln registers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and add %Ln?</source>
        <translation>
            <numerusform>%1 and add %Ln?</numerusform>
            <numerusform>%1 and add %Ln?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n register(s)</source>
        <translation>
            <numerusform>%n register</numerusform>
            <numerusform>%n registers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::EditCommands</name>
    <message numerus="yes">
        <source>Copy %n registers to registers starting at:</source>
        <translation>
            <numerusform>Copy %n register to registers starting at:</numerusform>
            <numerusform>Copy %n registers to registers starting at:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterInterchange</name>
    <message numerus="yes">
        <source>and %Ln more</source>
        <translation>
            <numerusform>and %Ln more</numerusform>
            <numerusform>and %Ln more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln event(s) cannot be exported at %1</source>
        <translation>
            <numerusform>%Ln event cannot be exported at %1</numerusform>
            <numerusform>%Ln events cannot be exported at %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Export the other %Ln event(s)?</source>
        <translation>
            <numerusform>Export the other event?</numerusform>
            <numerusform>Export the other %Ln events?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::RegisterTransfers</name>
    <message numerus="yes">
        <source>%L1 of %Ln register(s) arrived before the failure; Edit ▸ Undo Download brings back the table as it was.</source>
        <translation>
            <numerusform>%L1 of %Ln register arrived before the failure; Edit ▸ Undo Download brings back the table as it was.</numerusform>
            <numerusform>%L1 of %Ln registers arrived before the failure; Edit ▸ Undo Download brings back the table as it was.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavrel::app::WindowStatusBar</name>
    <message numerus="yes">
        <source>%n register(s)</source>
        <translation>
            <numerusform>%n register</numerusform>
            <numerusform>%n registers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n selected</source>
        <translation>
            <numerusform>%n selected</numerusform>
            <numerusform>%n selected</numerusform>
        </translation>
    </message>
</context>
</TS>

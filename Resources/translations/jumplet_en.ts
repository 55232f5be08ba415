<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppCopy</name>
    <message id="profiles.defaultName">
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message id="profiles.copyName">
        <source>%1 Copy</source>
        <translation>%1 Copy</translation>
    </message>
</context>
</TS>

' A 32-bit script client that finds the driver as the host's driver manager does: the ProgID
' under HKLM\SOFTWARE\VANDOR\Drivers\BMNIVRATESK, then the description collection made by it,
' walked with For Each.
Option Explicit
Dim shell, progId, descriptions, item, count
Set shell = CreateObject("WScript.Shell")
progId = shell.RegRead("HKLM\SOFTWARE\VANDOR\Drivers\BMNIVRATESK\ProgID")
WScript.Echo "driver: " & progId
Set descriptions = CreateObject(progId)
count = 0
For Each item In descriptions
    count = count + 1
    WScript.Echo "item " & count & ": " & TypeName(item)
Next
WScript.Echo "items: " & count

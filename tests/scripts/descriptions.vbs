' A script client of the description collection: creates it by its ProgID, walks it with
' For Each and names the type of every item it gets.
Option Explicit
Dim descriptions, item, count
Set descriptions = CreateObject("NivraTesk.Descriptions")
count = 0
For Each item In descriptions
    count = count + 1
    WScript.Echo "item " & count & ": " & TypeName(item)
Next
WScript.Echo "items: " & count

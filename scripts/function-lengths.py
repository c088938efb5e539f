#!/usr/bin/env python3
"""Lists the longest functions of the program's sources (src/, tools/,
app/), lines from the start of the declaration to the closing brace, and
counts those over 60 lines. A brace counter over the sources with their
comments, strings and preprocessor lines blanked: good enough for this
code base's layout, not a C++ parser.

usage: function-lengths.py [ROOT] [COUNT] [--over]
  COUNT   how many of the longest to list (default 10)
  --over  list every function over 60 lines after the count
"""
import os
import re
import sys

args = [a for a in sys.argv[1:] if a != "--over"]
root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
N = int(args[1]) if len(args) > 1 else 10
def strip(text):
    out=[];i=0;n=len(text)
    while i<n:
        c=text[i]
        if text.startswith('//',i):
            j=text.find('\n',i); j=n if j<0 else j; out.append(' '*(j-i)); i=j
        elif text.startswith('/*',i):
            j=text.find('*/',i+2); j=n if j<0 else j+2; out.append(re.sub(r'[^\n]',' ',text[i:j])); i=j
        elif c=='"' and i>0 and text[i-1]=='R':
            op=text.find('(',i); d=')'+text[i+1:op]+'"'; j=text.find(d,op)+len(d); out.append(re.sub(r'[^\n]',' ',text[i:j])); i=j
        elif c in '"\'':
            j=i+1
            while j<n and text[j]!=c and text[j]!='\n': j+=2 if text[j]=='\\' else 1
            j+=1; out.append(' '*(j-i)); i=j
        else: out.append(c); i+=1
    return ''.join(out)
res=[]
for folder in ('src','tools','app'):
  for d,_,fs in os.walk(os.path.join(root,folder)):
    for f in fs:
        if not f.endswith(('.cpp','.h')): continue
        p=os.path.join(d,f); rel=os.path.relpath(p,root)
        t=strip(open(p,encoding='utf-8').read())
        t=re.sub(r'(?m)^[ \t]*#.*$',lambda m:' '*len(m.group()),t)
        stack=[]; last=0
        for m in re.finditer(r'[{};]',t):
            ch=m.group(); pos=m.start()
            if ch=='{':
                head=t[last:pos]
                outer=all(k in('ns','class') for k,_,_ in stack)
                h=' '.join(head.split())
                kind='block'
                if outer:
                    if re.match(r'^(namespace\b|extern\b)',h): kind='ns'
                    elif re.search(r'\b(class|struct|union|enum)\b[^()]*$',h): kind='class'
                    elif ')' in h or '[]' in h or re.search(r'\)\s*(const|override|noexcept|final|->.*)?\s*(:.*)?$',h): kind='func'
                    else: kind='block'
                # start line of function: first non-space char of head
                hs=last+len(head)-len(head.lstrip())
                stack.append((kind,hs,h)); last=pos+1
            elif ch=='}':
                if stack:
                    kind,hs,h=stack.pop()
                    if kind=='func' and all(k in('ns','class') for k,_,_ in stack):
                        l0=t.count('\n',0,hs)+1; l1=t.count('\n',0,pos)+1
                        name=re.sub(r'\s*\(.*','',h)[-60:] if '(' in h else h[-60:]
                        res.append((l1-l0+1,rel,l0,name))
                last=pos+1
            else: last=pos+1
res.sort(reverse=True)
if N>0:
    for r in res[:N]: print(f"{r[0]:4d}  {r[1]}:{r[2]}  {r[3]}")
print("over 60:",sum(1 for r in res if r[0]>60), " functions:",len(res))
if "--over" in sys.argv:
    for r in res:
        if r[0]>60: print(f"  {r[0]:4d}  {r[1]}:{r[2]}  {r[3]}")

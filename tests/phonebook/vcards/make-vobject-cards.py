#!/usr/bin/python3
# Writes vobject-3.0.vcf: cards written by an independent vCard library
# (python3-vobject), for the import tests. Run once; the output is kept.
import base64
import sys

import vobject

cards = []

c = vobject.vCard()
c.add('n').value = vobject.vcard.Name(family='张', given='伟')
c.add('fn').value = '张伟'
t = c.add('tel'); t.value = '+86 138-0013-8000'; t.type_param = 'CELL'
t = c.add('tel'); t.value = '(010) 6552-9988'; t.type_param = 'WORK'
t = c.add('tel'); t.value = '010 8888 1234'; t.type_param = 'HOME'
c.add('email').value = 'zhang.wei@example.cn'
c.add('note').value = ('A long remark that goes on and on, with commas; semicolons and a '
                       'second line\nso that the library folds it over several lines.')
p = c.add('photo'); p.value = base64.b64decode(base64.b64encode(bytes(range(256)) * 8))
p.encoding_param = 'b'; p.type_param = 'JPEG'
cards.append(c)

c = vobject.vCard()
c.add('n').value = vobject.vcard.Name(family='Smith', given='Anna')
c.add('fn').value = 'Anna Smith'
t = c.add('tel'); t.value = '555-0100'
t = c.add('tel'); t.value = '555-0199'; t.type_param = 'FAX'
cards.append(c)

c = vobject.vCard()
c.add('n').value = vobject.vcard.Name(family='Müller', given='Jürgen')
c.add('fn').value = 'Jürgen Müller'
t = c.add('tel'); t.value = '+49 30 1234567'; t.type_param = 'WORK'
cards.append(c)

sys.stdout.write(''.join(card.serialize() for card in cards))
